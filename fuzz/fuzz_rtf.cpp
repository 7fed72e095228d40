// Reads the input as a rich-text document into a fresh QTextDocument, the
// way the explanation page fills its viewer, and lays it out at the
// viewer's width so that the sizes and indents read are used.

#include "text/rtf_reader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {
constexpr qreal kViewerWidth = 600;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and colours need a GUI application; no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument document;
    (void)platform::isRtf(bytes);
    if (platform::readRtf(bytes, &document)) {
        document.setTextWidth(kViewerWidth);
        (void)document.size();
        (void)document.toPlainText();
    }
    return 0;
}
