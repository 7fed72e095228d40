#include "support/testsupport.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write fixture %s", qPrintable(path));
    file.write(bytes);
    return QFileInfo(path).absoluteFilePath();
}

QByteArray cp932(const QString& text)
{
    QByteArray bytes;
    if (!platform::encodeCp932(text, &bytes))
        qFatal("fixture text has no code page 932 form");
    return bytes;
}

} // namespace testsupport

#include "app/Un_subri1.h"
#include "platform/platform.h"

namespace testsupport {

ErrorBoxes::ErrorBoxes()
{
    platform::setErrorSink([this](const QString& title, const QString& text) {
        titles << title;
        texts << text;
    });
}

ErrorBoxes::~ErrorBoxes() { platform::setErrorSink({}); }

QByteArray monFile(const QString& label, const QString& setName,
                   const QList<QPair<QString, QString>>& questions)
{
    QString text = QStringLiteral("%1,\"x\",\"%2\"\r\n0,\"y\",\"%3\"\r\n")
                       .arg(questions.size()).arg(label, setName);
    int number = 1;
    for (const auto& [question, answer] : questions)
        text += QStringLiteral("%1,\"%2\",\"%3\"\r\n").arg(number++).arg(answer, question);
    return cp932(text);
}

void openThroughDialog(TForm1& form, const QString& path, int filterIndex)
{
    platform::scriptOpenDialog(path, filterIndex);
    form.Button3Click();
}

} // namespace testsupport
