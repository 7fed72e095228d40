#pragma once
// A multi-line text box that can be given its text as code page 932 bytes
// and decodes them only when the text is needed: when the box is first
// painted (it lies within what its window shows) or its text is read. A
// long text out of view then costs neither the decoding nor the layout of
// millions of characters. Once decoded, the text stays until new text is
// given or set.

#include <QByteArray>
#include <QPlainTextEdit>

namespace platform {

class DeferredMemo : public QPlainTextEdit {
    Q_OBJECT
    // Reading the text through the property decodes pending bytes first.
    Q_PROPERTY(QString plainText READ toPlainText WRITE setPlainText NOTIFY textChanged USER true)
public:
    explicit DeferredMemo(QWidget* parent = nullptr);

    // The box shows the text of these bytes from now on. It is decoded at
    // once when the box is in view, otherwise when first needed.
    void setCp932Text(const QByteArray& bytes);

    // True while the box holds exactly the text last given by setCp932Text
    // (decoded or not): nothing has been set or typed into it since.
    bool showsGivenText() const;
    // True while given bytes wait to be decoded.
    bool hasPendingText() const { return hasPending_; }

    // The text, with pending bytes decoded first.
    QString toPlainText() const;

public slots:
    // Text set here replaces pending bytes, which are then never decoded.
    void setPlainText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool inView() const;
    void decodePending();

    QByteArray pending_;
    bool hasPending_ = false;
    // The document's revision when it last took the given text.
    int givenRevision_ = -1;
};

} // namespace platform
