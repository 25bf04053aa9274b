#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace ovin {

/// The find bar under the log view: a text to look for, next and previous.
/// Hidden until asked for, so the window looks as always while it is.
class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent);

    QString needle() const;
    void setNeedle(const QString& text);
    void focusNeedle();
    /// Shows whether the last search found anything.
    void setFound(bool found);

    QLineEdit* needleEdit() const { return m_edit; }

signals:
    void findRequested(const QString& needle, bool backward);
    void needleChanged(const QString& needle);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void close();

    QLineEdit* m_edit = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace ovin
