#pragma once
// The info panel below the tabs: the figures of the sequence shown (quadripoles, injections,
// channels, depth levels, investigation depths, acquisition time).
#include <QFrame>
#include <QString>
#include <memory>

namespace Ui {
class TInfoPanel;
}
class TElectSequence;

class TInfoPanel : public QFrame {
    Q_OBJECT
public:
    explicit TInfoPanel(QWidget* parent = nullptr);
    ~TInfoPanel() override;

    // The figures of s (all but the depth levels).
    void ShowSequenceInfo(const TElectSequence& s);
    // The count of depth-level cells chosen.
    void ShowLevelCount(int count);
    // "Quadripole/Injection: 451/189, Estimated time: 00:13:00": the figures as the panel shows them.
    QString FiguresCaption() const;

private:
    std::unique_ptr<Ui::TInfoPanel> ui;
};
