// Reads the input as a .5tq question file the way opening and appending do:
// the eight genre records with their running numbers, then every question
// of every genre through one positioned read each, decoded from code page
// 932 as the window shows them.

#include "text/codepage.h"
#include "questions/tq_format.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A genre may claim 65,535 questions; reading them all from a small input
// teaches nothing new, so each genre stops at this many.
constexpr int kMaxQuestionsPerGenre = 2000;

QString inputPath()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir.filePath(QStringLiteral("input.5tq"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = inputPath();
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }

    questions::TqFile file;
    if (!file.open(path))
        std::abort(); // a readable regular file always opens

    const qint64 fileSize = qint64(size);
    int sum = 0;
    for (int g = 1; g <= questions::kTqGenreCount; ++g) {
        const questions::TqGenre genre = file.genre(g);
        (void)platform::decodeCp932(genre.name);
        const int first = sum + 1;
        sum += genre.count;
        const int last = std::min(sum, first + kMaxQuestionsPerGenre - 1);
        for (int n = first; n <= last; ++n) {
            const qint64 offset = questions::tqQuestionOffset(n);
            QByteArray question;
            QByteArray answer;
            file.readQuestion(offset, &question, &answer);
            (void)platform::decodeCp932(question);
            (void)platform::decodeCp932(answer);
            // Every later record lies outside the file as well.
            if (offset >= fileSize)
                break;
        }
    }
    return 0;
}
