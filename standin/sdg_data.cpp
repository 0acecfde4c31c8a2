#include "standin/sdg_data.h"

#include "platform/file_ops.h"
#include "platform/line_reader.h"

#include <QFileInfo>
#include <QSet>

namespace qelvrin::standin {

const SampleRecord* SdgData::sample(QByteArrayView id) const
{
    for (const SampleRecord& s : samples) {
        if (s.sample == id)
            return &s;
    }
    return nullptr;
}

namespace {

struct Collector {
    SdgData& data;
    QList<RecordError>& errors;
    int lineNumber;
    int headers = 0;

    void operator()(const HeaderRecord& r)
    {
        if (++headers == 1)
            data.header = r;
        else
            errors.append({lineNumber, "a second header (H) record; an SDG has exactly one."});
    }
    void operator()(const SampleRecord& r)
    {
        if (data.sample(r.sample))
            errors.append({lineNumber, "sample " + r.sample + " is described twice."});
        else
            data.samples.append(r);
    }
    void operator()(const ResultRecord& r) { data.results.append(r); }
    void operator()(const SpikeRecord& r) { data.spikes.append(r); }
};

void checkSampleReferences(const SdgData& data, QList<RecordError>& errors)
{
    QSet<QByteArray> reported;
    auto check = [&](const QByteArray& sample) {
        if (!data.sample(sample) && !reported.contains(sample)) {
            reported.insert(sample);
            errors.append({0, "sample " + sample + " has results but no sample (S) record."});
        }
    };
    for (const ResultRecord& r : data.results)
        check(r.sample);
    for (const SpikeRecord& r : data.spikes)
        check(r.sample);
}

} // namespace

SdgLoad loadSdgData(const QString& installDir)
{
    SdgLoad load;
    const QString path = files::findNoCase(installDir, QStringLiteral("QELVDATA"));
    if (path.isEmpty()) {
        load.status = SdgLoad::Status::Missing;
        return load;
    }
    if (!QFileInfo(path).isFile()) {
        load.status = SdgLoad::Status::Unreadable;
        load.reason = "it is not a plain file";
        return load;
    }
    LineReader reader(path);
    if (!reader.isOpen()) {
        load.status = SdgLoad::Status::Unreadable;
        load.reason = reader.errorString().toLocal8Bit();
        return load;
    }

    SdgData& data = load.data;
    Collector collect{data, load.errors, 0};
    while (const auto line = reader.next()) {
        ++collect.lineNumber;
        data.bytes += line->size() + 2;
        const QByteArrayView record = line->trimmed();
        if (record.isEmpty()) {
            ++data.blankLines;
            continue;
        }
        ++data.records;
        data.shortest = data.records == 1 ? record.size() : std::min(data.shortest, record.size());
        data.longest = std::max(data.longest, record.size());
        const ParsedRecord parsed = parseRecord(record);
        if (parsed.ok())
            std::visit(collect, parsed.record);
        else
            load.errors.append({collect.lineNumber, parsed.error});
    }
    if (reader.readFailed()) {
        load.status = SdgLoad::Status::Unreadable;
        load.reason = reader.errorString().toLocal8Bit();
        return load;
    }
    if (data.records == 0) {
        load.status = SdgLoad::Status::Empty;
        return load;
    }
    if (collect.headers == 0)
        load.errors.append({0, "the file holds no header (H) record."});
    checkSampleReferences(data, load.errors);
    load.status = load.errors.isEmpty() ? SdgLoad::Status::Loaded : SdgLoad::Status::Malformed;
    return load;
}

} // namespace qelvrin::standin
