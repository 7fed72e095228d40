#include "questions/question_file_reader.h"

#include "text/codepage.h"
#include "platform/regular_file.h"
#include "questions/file_types.h"

#include <QFileInfo>

namespace questions {

namespace {

ReadResult failed(ReadFailure::Kind kind, const QString& path, int line = 0)
{
    return ReadResult{std::nullopt, ReadFailure{kind, path, line}};
}

ReadResult readBinary(QuestionFile file)
{
    file.binary = std::make_unique<TqFile>();
    if (!file.binary->open(file.path))
        return failed(ReadFailure::Kind::CannotOpen, file.path);
    return ReadResult{std::move(file), {}};
}

// The whole bytes of a text question file, or nothing.
std::optional<QByteArray> readTextFileBytes(const QString& path, qint64 maxBytes)
{
    // The binary file held open allows no other open, also not as text.
    if (TqFile::isHeld(path))
        return std::nullopt;
    return platform::readRegularFile(path, maxBytes);
}

ReadResult readMon(QuestionFile file, const ReadLimits& limits)
{
    std::optional<QByteArray> bytes = readTextFileBytes(file.path, limits.bytes);
    if (!bytes)
        return failed(ReadFailure::Kind::CannotOpen, file.path);
    file.bytes = std::move(*bytes);
    file.lines = MonLines(file.bytes);
    file.records = countRecords(file.lines);
    if (file.records > limits.questions)
        return failed(ReadFailure::Kind::TooManyQuestions, file.path);
    file.header = readMonHeader(file.lines);
    return ReadResult{std::move(file), {}};
}

ReadResult readCsv(QuestionFile file, const QuestionFile* earlier, const ReadLimits& limits)
{
    std::optional<QByteArray> bytes = readTextFileBytes(file.path, limits.bytes);
    if (!bytes)
        return failed(ReadFailure::Kind::CannotOpen, file.path);
    file.bytes = std::move(*bytes);
    if (earlier && earlier->typeEntry == kCsvTypeEntry && earlier->path == file.path && earlier->bytes == file.bytes)
        file.csv = earlier->csv; // shared, not copied
    else
        file.csv = readCsvQuestions(decodeQuestionText(file.bytes), defaultCsvSeparator(file.path),
                                    limits.questions);
    if (file.csv.badLine > 0)
        return failed(ReadFailure::Kind::UnreadableLine, file.path, file.csv.badLine);
    if (file.csv.tooMany)
        return failed(ReadFailure::Kind::TooManyQuestions, file.path);
    return ReadResult{std::move(file), {}};
}

ReadResult readAnki(QuestionFile file)
{
    AnkiRead read = readAnkiPackageFile(file.path, kQuestionSetRows, kMaxQuestionsPerFile);
    if (!read.package) {
        using Kind = ReadFailure::Kind;
        switch (read.failure) {
        case AnkiFailure::CannotOpen:
            return failed(Kind::CannotOpen, file.path);
        case AnkiFailure::NotPackage:
            return failed(Kind::NotAnkiPackage, file.path);
        case AnkiFailure::Damaged:
            return failed(Kind::DamagedPackage, file.path);
        case AnkiFailure::NewerFormat:
            return failed(Kind::NewerPackage, file.path);
        case AnkiFailure::TooLarge:
            return failed(Kind::PackageTooLarge, file.path);
        case AnkiFailure::TooManyCards:
            return failed(Kind::TooManyQuestions, file.path);
        }
    }
    file.anki = std::make_shared<const AnkiPackage>(std::move(*read.package));
    return ReadResult{std::move(file), {}};
}

} // namespace

ReadResult readQuestionFile(const QString& path, int typeEntry, const QuestionFile* earlier,
                            const ReadLimits& limits)
{
    QuestionFile file;
    file.typeEntry = typeEntry;
    file.path = path;
    switch (typeEntry) {
    case kBinaryTypeEntry:
        return readBinary(std::move(file));
    case kTextTypeEntry:
        return readMon(std::move(file), limits);
    case kCsvTypeEntry:
        return readCsv(std::move(file), earlier, limits);
    case kAnkiTypeEntry:
        return readAnki(std::move(file));
    default:
        return failed(ReadFailure::Kind::CannotOpen, path);
    }
}

TextListRow textListRowOf(const QuestionFile& file)
{
    if (file.typeEntry == kCsvTypeEntry)
        return {csvLabel(file.csv.separator), QFileInfo(file.path).completeBaseName(),
                QString::number(file.csv.questions.size()), file.path};
    return {platform::decodeCp932(file.header.label), platform::decodeCp932(file.header.setName),
            platform::decodeCp932(file.header.count), monDisplayPath(file.path)};
}

} // namespace questions
