#pragma once
// Reading of the .5tq binary question files of the five-choice quiz program:
// eight 256-byte genre records, then one 256-byte record per question.
// Texts come back as raw Shift_JIS bytes; the caller decodes them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

class QFile;

namespace questions {

inline constexpr int kTqGenreCount = 8;
inline constexpr qint64 kTqRecordSize = 256;
inline constexpr qint64 kTqFirstQuestionOffset = 2048;
inline constexpr qsizetype kTqNameSize = 16;
inline constexpr qint64 kTqCountOffset = 18;
inline constexpr qsizetype kTqQuestionSize = 116;
inline constexpr qsizetype kTqAnswerSize = 28;

// A genre name field: the stored bytes up to the first end mark (two 0x20
// bytes in a row), the first 0x00 byte or the end of the field.
QByteArray decodeTqName(QByteArrayView field);

// A question or answer field: a 0x20 followed by another 0x20 within the
// field ends the text; every other byte has its top bit flipped, and a byte
// that becomes 0x00 ends the text too.
QByteArray decodeTqText(QByteArrayView field);
// The same text written to `out` (room for field.size() bytes); returns its
// length.
qsizetype decodeTqText(QByteArrayView field, char* out);

// Byte offset of question number n (numbered from 1 across all genres).
qint64 tqQuestionOffset(int n);

// The question and answer texts of one record, decoded as decodeTqText()
// does, kept in place rather than each in an allocated array.
class TqQuestionTexts {
public:
    QByteArrayView question() const { return QByteArrayView(question_.data(), questionSize_); }
    QByteArrayView answer() const { return QByteArrayView(answer_.data(), answerSize_); }

private:
    friend class TqFile;
    std::array<char, kTqQuestionSize> question_;
    std::array<char, kTqAnswerSize> answer_;
    qsizetype questionSize_ = 0;
    qsizetype answerSize_ = 0;
};

struct TqGenre {
    QByteArray name;   // raw Shift_JIS
    quint16 count = 0; // number of questions of the genre
};

// The binary question file the window reads from. It is held open for
// reading from a successful open until it is closed, replaced or destroyed,
// and while it is held no other TqFile can open the same file.
class TqFile {
public:
    TqFile();
    ~TqFile();
    TqFile(TqFile&& other) noexcept;
    TqFile& operator=(TqFile&& other) noexcept; // closes the file held before
    TqFile(const TqFile&) = delete;
    TqFile& operator=(const TqFile&) = delete;

    // Opens `path` for reading. On success the file held before is closed
    // and the new one is held; on failure (no such file, a folder, not
    // readable, or the file is already held, also by this object) nothing
    // changes and false is returned.
    bool open(const QString& path);
    void close();
    bool isOpen() const;
    // True when `path` names a file some TqFile holds, under any of its
    // names (a symbolic or a hard link to it included).
    static bool isHeld(const QString& path);
    QString path() const; // canonical path of the held file, empty if none

    // Genre record g (1 … 8). Only the bytes the file holds are used: a
    // short name field ends where the file ends, a count needs both of its
    // bytes, and a genre outside the file (or g out of range) is empty
    // with count 0.
    TqGenre genre(int g) const;

    // Reads the question record at `offset` in one read of question and
    // answer fields and decodes both. A record cut short by the end of the
    // file gives the texts of the bytes present; one outside the file (or
    // no file held) gives empty texts.
    void readQuestion(qint64 offset, QByteArray* question, QByteArray* answer) const;
    // The same, into `texts`: one positioned read of the file, no allocation.
    void readQuestion(qint64 offset, TqQuestionTexts* texts) const;

private:
    QByteArray readAt(qint64 offset, qint64 size) const;

    std::unique_ptr<QFile> m_file;
    QString m_path;
};

} // namespace questions
