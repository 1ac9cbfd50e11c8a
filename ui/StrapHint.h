#pragma once
// The strap hint: a picture that floats over the configuration page just below its button, so
// showing it moves no other control. It goes away as soon as the pointer reaches it, so it never
// stands between the user and the controls it covers.
#include <QFrame>
#include <QPointer>

class TStrapHint : public QFrame {
    Q_OBJECT
public:
    explicit TStrapHint(QWidget* parent = nullptr);
    // The button the hint belongs to; it is placed below it, within its own parent.
    void SetAnchor(QWidget* anchor);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
    QPointer<QWidget> Anchor;
};
