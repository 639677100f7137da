// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPointer>

namespace lantrivex::ui {

// A volume panel's title line. Its text stands centred in the label, as designed, unless the
// total line (a sibling laid over the title's left part) would cover it: the text then starts
// right of the total, and is shortened with "…" when it still does not fit (the whole title is
// then its tooltip). The label's own geometry is the layout's; only where its text is drawn
// changes.
class VolumeTitleLabel : public QLabel {
    Q_OBJECT
public:
    explicit VolumeTitleLabel(const QString& text, QWidget* parent = nullptr);

    // The total line whose place the text keeps clear of (a sibling; nullptr: none).
    void setTotalLine(QWidget* total);

    // Where the text is drawn, in the label's coordinates, and the text drawn there (the title,
    // the title shortened with "…", or nothing when not even "…" has room).
    QRect textRect() const { return textRect_; }
    QString shownText() const { return shownText_; }

    // Places the text again (the label's or the total line's size or text changed).
    void placeText();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QPointer<QWidget> total_;
    QRect textRect_;
    QString shownText_;
    QString placedFor_; // the text last placed, to notice setText
};

} // namespace lantrivex::ui
