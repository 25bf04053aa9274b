#pragma once

#include "controls/LabelPlacement.h"
#include "controls/qt/Spin.h"
#include "controls/qt/ckLabelX.h"

#include <QPointer>

namespace ovin {

class TSpinEditX;

/// The caption label of a TSpinEditX. It sits beside the spin edit, in the spin edit's container, and is named
/// "SubLabel". Its own size changes never move it.
class TBoundLabel final : public TLabelX {
    Q_OBJECT
public:
    /// Puts the label into the spin edit's current container, showing the spin edit's object name.
    explicit TBoundLabel(TSpinEditX* owner);
};

/// A TSpinEdit with an optional caption label that it creates when given a Caption, places beside itself,
/// moves along when it is moved or resized, and destroys when the Caption is cleared or it is destroyed.
///
/// The label belongs to the spin edit but lives in the spin edit's container as its sibling; the spin edit
/// keeps a guarded reference, so a label that its container destroyed first is never destroyed again.
class TSpinEditX final : public TSpinEdit {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(ovin::TBoundLabel* CaptionLabel READ CaptionLabel WRITE setCaptionLabel)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE setLabelSpacing)
    Q_PROPERTY(ovin::TLabelPosition LabelPosition READ LabelPosition WRITE setLabelPosition)
public:
    explicit TSpinEditX(QWidget* parent = nullptr);
    ~TSpinEditX() override;

    /// The last text given, even when the label's own text was changed since.
    QString Caption() const { return m_caption; }
    /// A non-empty text creates the label if there is none and gives it the text; an empty one destroys it.
    void setCaption(const QString& caption);

    /// The caption label, or null.
    TBoundLabel* CaptionLabel() const { return m_label; }
    /// Makes `label` the caption label without creating, placing or destroying anything; from then on the spin
    /// edit moves and destroys that label as its own. Null lets go of the current label without destroying it.
    void setCaptionLabel(TBoundLabel* label) { m_label = label; }

    /// The gap in pixels between the spin edit and its label.
    int LabelSpacing() const { return m_labelSpacing; }
    void setLabelSpacing(int spacing);

    TLabelPosition LabelPosition() const { return m_labelPosition; }
    /// Moves the label to that side; without a label the call is ignored and the position stays as it was.
    void setLabelPosition(TLabelPosition position);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void destroyLabel();

    QString m_caption;
    QPointer<TBoundLabel> m_label;
    int m_labelSpacing = 3;
    TLabelPosition m_labelPosition = lpAbove;
};

}  // namespace ovin
