#pragma once

#include "platform/drive_map.h"

#include <QString>

#include <optional>

namespace qelvrin {

// A value to store: text as it is, a single-precision number with at most
// seven significant digits and no trailing zeros, a Boolean as True/False.
class SettingValue {
public:
    SettingValue(const QString& text) : m_text(text) {}
    SettingValue(float number);
    SettingValue(bool flag) : m_text(flag ? QStringLiteral("True") : QStringLiteral("False")) {}
    // A string literal would otherwise quietly turn into a Boolean.
    SettingValue(const char*) = delete;

    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The settings file, PCVQS.INI in the install directory: one "key = value"
// per line. Failures reach the caller as ErrorCode (53: no such file; 9: more
// lines than the writer can hold).
class Global {
public:
    // `workingDir` stands for the process's working directory, where the
    // writer looks for "pcvqs.ini"; empty means the current one at each call.
    explicit Global(const DriveMap& drives, QString workingDir = {});

    // The text after the first "=" of the first line containing `key`
    // (case-sensitive, anywhere in the line), stripped of blanks; no value
    // when no line contains it.
    std::optional<QString> ReadSetting(const QString& key) const;

    // Rewrites the file with the last line containing `key` replaced by
    // "key = value"; every line cut to 80 characters and stripped of blanks.
    // An absent key stores nothing.
    void WriteSetting(const QString& key, const SettingValue& value) const;

    static constexpr int LineSlots = 30;
    static constexpr int SlotWidth = 80;

private:
    QString readPath() const;
    QString writePath() const;

    DriveMap m_drives;
    QString m_workingDir;
};

} // namespace qelvrin
