// make5tq: builds a .5tq question file from a UTF-8 source text.
//
//   g++ -std=c++17 -O2 -o make5tq tools/make5tq.cpp
//   ./make5tq tools/sample5tq.txt data/sample.5tq
//
// Source: "[name]" starts a genre (at most eight); every other non-empty line
// that does not start with "#" is "question<TAB>answer" of the genre above.
//
// Output layout: eight 256-byte genre records (name in 16 bytes, stored as it
// is; question count, little-endian 16-bit, at record offset 18), then one
// 256-byte record per question in genre order: question in 116 bytes and
// answer in 28 bytes, each byte with its top bit flipped. A text shorter
// than its field ends with the end mark 0x20 0x20 (padding to the end).
// Text is converted to code page 932 with iconv.

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecordSize = 256;
constexpr std::size_t kGenreCount = 8;
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kCountOffset = 18;
constexpr std::size_t kQuestionSize = 116;
constexpr std::size_t kAnswerSize = 28;
constexpr char kPad = 0x20;

// Stored fields, ready to be written.
struct Question {
    std::string question;
    std::string answer;
};

struct Genre {
    std::string name; // the stored 16-byte field
    std::vector<Question> questions;
};

[[noreturn]] void fail(int lineNumber, const std::string& message)
{
    std::ostringstream text;
    text << "line " << lineNumber << ": " << message;
    throw std::runtime_error(text.str());
}

std::string toCp932(const std::string& utf8, int lineNumber)
{
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv has no CP932 converter");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) {
        fail(lineNumber, error == EILSEQ ? "character without a code page 932 form: \"" + utf8 + "\""
                                         : "cannot convert \"" + utf8 + "\"");
    }
    out.resize(out.size() - outLeft);
    return out;
}

// Name field: bytes as they are. Padding with 0x20 0x20 ends the name; when
// only one byte is left, 0x00 ends it instead (a lone 0x20 would be read as
// part of the name).
std::string nameField(const std::string& name, int lineNumber)
{
    if (name.empty() || name.size() > kNameSize)
        fail(lineNumber, "genre name must have 1 to 16 bytes in code page 932");
    if (name.find('\0') != std::string::npos || name.find("  ") != std::string::npos || name.back() == ' ')
        fail(lineNumber, "genre name must not hold two spaces in a row or end with a space");
    std::string field = name;
    if (field.size() + 1 == kNameSize)
        field += '\0';
    field.resize(kNameSize, kPad);
    return field;
}

// Text field: every byte with its top bit flipped, then the end mark.
// A text byte 0xA0 (a trail byte of some characters) is stored as 0x20; if
// it is the last one, the padding right after it would turn it into an end
// mark, so the text is ended with a stored 0x80 (read as 0x00) first. The
// same ending serves a text one byte shorter than its field, where no room
// is left for two 0x20.
std::string textField(const std::string& text, std::size_t size, int lineNumber)
{
    if (text.size() > size) {
        fail(lineNumber, "\"" + text + "\" too long: at most " + std::to_string(size)
                             + " bytes in code page 932");
    }
    std::string field;
    for (const char c : text) {
        if (c == '\0')
            fail(lineNumber, "text must not hold a 0x00 byte");
        field += static_cast<char>(static_cast<unsigned char>(c) ^ 0x80);
    }
    for (std::size_t i = 0; i + 1 < field.size(); ++i) {
        if (field[i] == kPad && field[i + 1] == kPad)
            fail(lineNumber, "text would hold an end mark");
    }
    if (field.size() < size && (field.size() + 1 == size || (!field.empty() && field.back() == kPad)))
        field += static_cast<char>(0x80);
    field.resize(size, kPad);
    return field;
}

std::vector<Genre> readSource(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<Genre> genres;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            if (genres.size() == kGenreCount)
                fail(lineNumber, "more than eight genres");
            genres.push_back({nameField(toCp932(line.substr(1, line.size() - 2), lineNumber), lineNumber), {}});
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            fail(lineNumber, "expected question<TAB>answer");
        if (genres.empty())
            fail(lineNumber, "question before the first [genre]");
        Genre& genre = genres.back();
        genre.questions.push_back({textField(toCp932(line.substr(0, tab), lineNumber), kQuestionSize, lineNumber),
                                   textField(toCp932(line.substr(tab + 1), lineNumber), kAnswerSize, lineNumber)});
        if (genre.questions.size() > 0xFFFF)
            fail(lineNumber, "more than 65535 questions in one genre");
    }
    return genres;
}

std::string buildFile(const std::vector<Genre>& genres)
{
    std::string bytes;
    for (std::size_t g = 0; g < kGenreCount; ++g) {
        std::string record(kRecordSize, '\0');
        if (g < genres.size()) {
            const Genre& genre = genres[g];
            record.replace(0, kNameSize, genre.name);
            const auto count = static_cast<std::uint16_t>(genre.questions.size());
            record[kCountOffset] = static_cast<char>(count & 0xFF);
            record[kCountOffset + 1] = static_cast<char>(count >> 8);
        }
        bytes += record;
    }
    for (const Genre& genre : genres) {
        for (const Question& q : genre.questions) {
            std::string record(kRecordSize, '\0');
            record.replace(0, kQuestionSize, q.question);
            record.replace(kQuestionSize, kAnswerSize, q.answer);
            bytes += record;
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make5tq SOURCE.txt OUTPUT.5tq\n";
        return 2;
    }
    try {
        const std::string bytes = buildFile(readSource(argv[1]));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
        std::cout << argv[2] << ": " << bytes.size() << " bytes\n";
    } catch (const std::exception& error) {
        std::cerr << "make5tq: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
