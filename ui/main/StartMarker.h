#pragma once

#include <QWidget>

// picStartPozice: a start marker on the track view, in the colour of the player who chooses.
// A click on it takes that start position.
class StartMarker : public QWidget {
    Q_OBJECT

public:
    StartMarker(QWidget* parent, int index);

    int index() const { return index_; }
    void setColor(const QColor& color);

signals:
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int index_;
};
