#include "questions/tq_format.h"

#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace questions {

namespace {

constexpr char kEndMarkByte = 0x20;

// Canonical paths of the files held open by TqFile objects in this process.
// A held file is opened without sharing: no second open of it succeeds.
// Never destroyed, so that a TqFile closed during program exit still finds it.
QSet<QString>& heldFiles()
{
    static auto* paths = new QSet<QString>;
    return *paths;
}

bool startsEndMark(QByteArrayView field, qsizetype i)
{
    return field[i] == kEndMarkByte && i + 1 < field.size() && field[i + 1] == kEndMarkByte;
}

} // namespace

QByteArray decodeTqName(QByteArrayView field)
{
    qsizetype end = 0;
    while (end < field.size() && field[end] != '\0' && !startsEndMark(field, end))
        ++end;
    return field.first(end).toByteArray();
}

QByteArray decodeTqText(QByteArrayView field)
{
    QByteArray text(field.size(), Qt::Uninitialized);
    text.truncate(decodeTqText(field, text.data()));
    return text;
}

qsizetype decodeTqText(QByteArrayView field, char* out)
{
    qsizetype length = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (startsEndMark(field, i))
            break;
        const char decoded = char(quint8(field[i]) ^ 0x80);
        if (decoded == '\0')
            break;
        out[length++] = decoded;
    }
    return length;
}

qint64 tqQuestionOffset(int n)
{
    return kTqFirstQuestionOffset + kTqRecordSize * (qint64(n) - 1);
}

TqFile::TqFile() = default;

TqFile::~TqFile()
{
    close();
}

TqFile::TqFile(TqFile&& other) noexcept
    : m_file(std::move(other.m_file)), m_path(std::exchange(other.m_path, QString()))
{
}

TqFile& TqFile::operator=(TqFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_file = std::move(other.m_file);
        m_path = std::exchange(other.m_path, QString());
    }
    return *this;
}

bool TqFile::open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || isHeld(canonical))
        return false;

    // Only a regular file: a FIFO or a device is refused without waiting.
    const int fd = platform::openRegularFile(canonical);
    if (fd < 0)
        return false;
    // Unbuffered, so that every read goes to the file as it is now.
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }

    close();
    m_file = std::move(file);
    m_path = canonical;
    heldFiles().insert(m_path);
    return true;
}

bool TqFile::isHeld(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    if (heldFiles().contains(canonical))
        return true;
    // Another name of a held file (a hard link) is the same file.
    const std::filesystem::path file(QFile::encodeName(canonical).toStdString());
    for (const QString& held : std::as_const(heldFiles())) {
        std::error_code error;
        if (std::filesystem::equivalent(file, std::filesystem::path(QFile::encodeName(held).toStdString()), error))
            return true;
    }
    return false;
}

void TqFile::close()
{
    if (!m_file)
        return;
    heldFiles().remove(m_path);
    m_file.reset();
    m_path.clear();
}

bool TqFile::isOpen() const
{
    return m_file != nullptr;
}

QString TqFile::path() const
{
    return m_path;
}

QByteArray TqFile::readAt(qint64 offset, qint64 size) const
{
    if (!m_file || offset < 0 || !m_file->seek(offset))
        return {};
    return m_file->read(size);
}

TqGenre TqFile::genre(int g) const
{
    if (g < 1 || g > kTqGenreCount)
        return {};
    const QByteArray record = readAt(kTqRecordSize * (g - 1), kTqCountOffset + 2);
    TqGenre result;
    result.name = decodeTqName(QByteArrayView(record).first(qMin(record.size(), kTqNameSize)));
    if (record.size() >= kTqCountOffset + 2) {
        result.count = quint16(quint8(record[kTqCountOffset])
                               | (quint8(record[kTqCountOffset + 1]) << 8));
    }
    return result;
}

void TqFile::readQuestion(qint64 offset, QByteArray* question, QByteArray* answer) const
{
    TqQuestionTexts texts;
    readQuestion(offset, &texts);
    *question = texts.question().toByteArray();
    *answer = texts.answer().toByteArray();
}

void TqFile::readQuestion(qint64 offset, TqQuestionTexts* texts) const
{
    // Both fields in one positioned read (no separate seek), into place.
    std::array<char, kTqQuestionSize + kTqAnswerSize> record;
    qsizetype size = 0;
    if (m_file && offset >= 0) {
        const int fd = m_file->handle();
        while (size < qsizetype(record.size())) {
            const ssize_t got = ::pread(fd, record.data() + size, record.size() - std::size_t(size), offset + size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            size += got;
        }
    }
    // A record cut short by the end of the file: the texts of the bytes present.
    const QByteArrayView bytes(record.data(), size);
    texts->questionSize_ = decodeTqText(bytes.first(qMin(size, kTqQuestionSize)), texts->question_.data());
    texts->answerSize_ =
        decodeTqText(size > kTqQuestionSize ? bytes.sliced(kTqQuestionSize) : QByteArrayView(), texts->answer_.data());
}

} // namespace questions
