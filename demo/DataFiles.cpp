#include "DataFiles.h"

#include "core/CodePage.h"
#include "core/RecordCodec.h"

#include <QFile>

namespace palvex::demo {

namespace {

// The files are written for Hebrew Windows and travel between machines as they are, so their
// text is always Windows-1255, whatever code page this process uses for its own files.
const CodePage& fileCodePage() {
    static const CodePage page(1255);
    return page;
}

const unsigned char* bytesOf(const char* p) {
    return reinterpret_cast<const unsigned char*>(p);
}

unsigned char* bytesOf(QByteArray& a) {
    return reinterpret_cast<unsigned char*>(a.data());
}

QByteArray readWhole(const QString& path, int recordLength) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataFileError(
            QStringLiteral("The data file %1 cannot be read: %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    // A partial record at the end is not a record.
    bytes.truncate(bytes.size() - bytes.size() % recordLength);
    return bytes;
}

template <class Record> std::vector<Record> readRecords(const QString& path) {
    const QByteArray bytes = readWhole(path, Record::Length);
    std::vector<Record> records;
    records.reserve(size_t(bytes.size() / Record::Length));
    for (qsizetype at = 0; at < bytes.size(); at += Record::Length)
        records.push_back(Record::decode(bytes.constData() + at));
    return records;
}

} // namespace

QByteArray TrialBalanceRecord::encode() const {
    QByteArray r(Length, '\0');
    unsigned char* p = bytesOf(r);
    codec::putText(p, account, NumberWidth, fileCodePage());
    codec::putText(p + 10, name, NameWidth, fileCodePage());
    codec::putI16(p + 35, code);
    codec::putF64(p + 37, debit);
    codec::putF64(p + 45, credit);
    return r;
}

TrialBalanceRecord TrialBalanceRecord::decode(const char* bytes) {
    const unsigned char* p = bytesOf(bytes);
    TrialBalanceRecord r;
    r.account = codec::getText(p, NumberWidth, fileCodePage());
    r.name = codec::getText(p + 10, NameWidth, fileCodePage());
    r.code = codec::getI16(p + 35);
    r.debit = codec::getF64(p + 37);
    r.credit = codec::getF64(p + 45);
    return r;
}

QByteArray StatementRecord::encode() const {
    QByteArray r(Length, '\0');
    unsigned char* p = bytesOf(r);
    codec::putI16(p, lineType);
    codec::putI16(p + 2, note);
    codec::putText(p + 4, text, TextWidth, fileCodePage());
    codec::putI32(p + 34, current);
    codec::putI32(p + 38, previous);
    return r;
}

StatementRecord StatementRecord::decode(const char* bytes) {
    const unsigned char* p = bytesOf(bytes);
    StatementRecord r;
    r.lineType = codec::getI16(p);
    r.note = codec::getI16(p + 2);
    r.text = codec::getText(p + 4, TextWidth, fileCodePage());
    r.current = codec::getI32(p + 34);
    r.previous = codec::getI32(p + 38);
    return r;
}

std::vector<TrialBalanceRecord> readTrialBalance(const QString& path) {
    return readRecords<TrialBalanceRecord>(path);
}

std::vector<StatementRecord> readStatement(const QString& path) {
    return readRecords<StatementRecord>(path);
}

void writeRecords(const QString& path, const std::vector<QByteArray>& records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DataFileError(
            QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    for (const QByteArray& r : records)
        if (file.write(r) != r.size())
            throw DataFileError(
                QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}

} // namespace palvex::demo
