#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace palvex::demo {

// The demonstration's random-access data files: fixed-length records, numbers little-endian,
// texts single-byte Windows-1255 padded with spaces. The number of records of a file is its
// length divided by the record length.

// One account of a trial balance.
struct TrialBalanceRecord {
    static constexpr int Length = 53;
    static constexpr int NumberWidth = 10;
    static constexpr int NameWidth = 25;

    QString account; // 10 characters
    QString name;    // 25 characters
    int16_t code = 0;
    double debit = 0;
    double credit = 0;

    QByteArray encode() const;
    static TrialBalanceRecord decode(const char* bytes);
};

// One line of the financial statements.
struct StatementRecord {
    static constexpr int Length = 42;
    static constexpr int TextWidth = 30;
    static constexpr int16_t GroupHeading = 1;
    static constexpr int16_t ItemLine = 2;

    int16_t lineType = 0;
    int16_t note = 0; // printed when above 0
    QString text;     // 30 characters
    int32_t current = 0;
    int32_t previous = 0;

    QByteArray encode() const;
    static StatementRecord decode(const char* bytes);
};

// A data file that cannot be read; the text names the file and the reason.
class DataFileError : public std::runtime_error {
public:
    explicit DataFileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Reads every record of a data file. A missing or unreadable file throws DataFileError rather
// than reading as an empty file, so a report is never shown without its data.
std::vector<TrialBalanceRecord> readTrialBalance(const QString& path);
std::vector<StatementRecord> readStatement(const QString& path);

// Writes records as a new file (the build's data generator); throws DataFileError.
void writeRecords(const QString& path, const std::vector<QByteArray>& records);

} // namespace palvex::demo
