// The column header of CSkinListCtrl, painted from the header pictures
// (150 body, 151 left edge, 156 right edge) with centred captions that end in
// an ellipsis when too wide.
#pragma once

#include <QHeaderView>

class CSkinHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CSkinHeaderCtrl(QWidget* parent = nullptr);
    QSize sizeHint() const override;

    static constexpr int kPictureRows = 16; // rows of the 19-row pictures in use
    static constexpr int kHeight = 17;      // one row of the ground colour below them

protected:
    void paintEvent(QPaintEvent* e) override;
};
