#include "standin/sdg_record.h"

#include "standin/analytes.h"

#include <QList>

namespace qelvrin::standin {

namespace {

// Thrown inside the parser only; parseRecord turns it into an error text.
struct FieldError {
    QByteArray message;
};

class Fields {
public:
    Fields(QList<QByteArray> fields, QByteArrayView type)
        : m_fields(std::move(fields)), m_type(type.toByteArray()) {}

    void expectCount(qsizetype count) const
    {
        if (m_fields.size() != count) {
            throw FieldError{m_type + " record has " + QByteArray::number(m_fields.size()) + " fields, expected "
                             + QByteArray::number(count) + "."};
        }
    }

    const QByteArray& text(int index) const { return m_fields.at(index); }

    // Upper-case letters and digits only, so no data can read as a word of
    // the log's vocabulary.
    QByteArray code(int index, QByteArrayView what, int maxLength) const
    {
        const QByteArray& text = m_fields.at(index);
        bool ok = !text.isEmpty() && text.size() <= maxLength;
        for (char c : text)
            ok = ok && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        if (!ok)
            fail(index, what, "is not 1 to " + QByteArray::number(maxLength) + " capital letters or digits");
        return text;
    }

    QByteArray oneOf(int index, QByteArrayView what, std::initializer_list<QByteArrayView> allowed) const
    {
        const QByteArray& text = m_fields.at(index);
        for (QByteArrayView candidate : allowed) {
            if (text == candidate)
                return text;
        }
        fail(index, what, "is not an allowed value");
    }

    double number(int index, QByteArrayView what, bool allowNegative) const
    {
        const QByteArray& text = m_fields.at(index);
        qsizetype i = (allowNegative && text.startsWith('-')) ? 1 : 0;
        int digits = 0;
        int dots = 0;
        bool ok = i < text.size();
        for (; ok && i < text.size(); ++i) {
            const char c = text.at(i);
            if (c == '.')
                ok = ++dots == 1 && digits > 0 && i + 1 < text.size();
            else if (c >= '0' && c <= '9')
                ++digits;
            else
                ok = false;
        }
        if (!ok || digits == 0)
            fail(index, what, "is not a number");
        return text.toDouble();
    }

    QDate date(int index, QByteArrayView what) const
    {
        const QByteArray& text = m_fields.at(index);
        const QDate date = text.size() == 8 ? QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyyMMdd")) : QDate();
        if (!date.isValid())
            fail(index, what, "is not a date YYYYMMDD");
        return date;
    }

    QByteArray analyte(int index) const
    {
        const QByteArray& text = m_fields.at(index);
        if (!findAnalyte(text))
            fail(index, "ANALYTE", "is not an analyte of the contract list");
        return text;
    }

    [[noreturn]] void fail(int index, QByteArrayView what, QByteArrayView why) const
    {
        throw FieldError{"field " + QByteArray::number(index + 1) + " (" + what.toByteArray() + ") \""
                         + m_fields.at(index).left(20) + "\" " + why.toByteArray() + "."};
    }

private:
    QList<QByteArray> m_fields;
    QByteArray m_type;
};

HeaderRecord parseHeader(const Fields& f)
{
    f.expectCount(5);
    HeaderRecord r;
    r.sdg = f.code(1, "SDG", 6);
    if (r.sdg.size() != 6 || !r.sdg.startsWith('M'))
        f.fail(1, "SDG", "is not M followed by five characters");
    r.lab = f.code(2, "LAB", 8);
    r.caseNumber = f.code(3, "CASE", 8);
    r.received = f.date(4, "RECEIVED");
    return r;
}

SampleRecord parseSample(const Fields& f)
{
    f.expectCount(5);
    SampleRecord r;
    r.sample = f.code(1, "SAMPLE", 8);
    r.matrix = f.oneOf(2, "MATRIX", {"WATER", "SOIL"});
    r.collected = f.date(3, "COLLECTED");
    r.percentSolids = f.number(4, "SOLIDS", false);
    if (r.percentSolids > 100)
        f.fail(4, "SOLIDS", "exceeds 100 percent");
    return r;
}

ResultRecord parseResult(const Fields& f)
{
    f.expectCount(9);
    ResultRecord r;
    r.sample = f.code(1, "SAMPLE", 8);
    r.analyte = f.analyte(2);
    r.method = f.oneOf(3, "METHOD", {"P", "F", "CV", "C"});
    r.result = f.number(4, "RESULT", true);
    r.resultText = f.text(4);
    r.units = f.oneOf(5, "UNITS", {"UG/L", "MG/KG"});
    r.detectionLimit = f.number(6, "DETECTION LIMIT", false);
    r.limitText = f.text(6);
    if (r.detectionLimit <= 0)
        f.fail(6, "DETECTION LIMIT", "is not above zero");
    r.qualifier = f.oneOf(7, "QUALIFIER", {"", "U", "J", "B"});
    r.analysed = f.date(8, "ANALYSED");
    return r;
}

SpikeRecord parseSpike(const Fields& f)
{
    f.expectCount(4);
    SpikeRecord r;
    r.sample = f.code(1, "SAMPLE", 8);
    r.analyte = f.analyte(2);
    r.recovery = f.number(3, "RECOVERY", false);
    return r;
}

} // namespace

ParsedRecord parseRecord(QByteArrayView line)
{
    const QList<QByteArray> fields = line.toByteArray().split(',');
    const QByteArray& type = fields.first();
    const Fields f(fields, type);
    ParsedRecord parsed;
    try {
        if (type == "H")
            parsed.record = parseHeader(f);
        else if (type == "S")
            parsed.record = parseSample(f);
        else if (type == "R")
            parsed.record = parseResult(f);
        else if (type == "Q")
            parsed.record = parseSpike(f);
        else
            parsed.error = "record type \"" + type.left(8) + "\" is not H, S, R or Q.";
    } catch (const FieldError& e) {
        parsed.error = e.message;
    }
    return parsed;
}

} // namespace qelvrin::standin
