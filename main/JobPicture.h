// TJobPicture: the picture that fills the main window while no job is open.
#pragma once

#include <QWidget>

namespace quen::mainprog {

class TJobPicture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {760, 420}; }
protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace quen::mainprog
