#pragma once

#include <QLabel>

namespace ovin {

/// The control library's plain text label. A new one is 65 × 17, sizes itself to its caption, and shows an
/// "&" in the caption as an underline under the next letter ("&&" shows one "&"). The underline is only a
/// mark: the label has no focus target, so the letter does not act as a shortcut.
class TLabelX : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
public:
    explicit TLabelX(QWidget* parent = nullptr);
    TLabelX(const QString& caption, QWidget* parent);

    /// The text as given, with its accelerator marks.
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    /// On: the label resizes itself to its caption whenever the caption or the font changes, keeping its
    /// top-left corner where it is.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

protected:
    void changeEvent(QEvent* event) override;

private:
    void adjustToCaption();

    QString m_caption;
    bool m_autoSize = true;
};

}  // namespace ovin
