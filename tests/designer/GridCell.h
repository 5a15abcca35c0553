#pragma once
#include <QImage>
#include <QPainter>

#include "platform/ui/DrawGrid.h"

// A grid cell as the grid paints it onto white.
inline QImage GridCell(platform::ui::DrawGrid& grid, int column, int row) {
    QImage image(300, 18, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    grid.paintCell(painter, column, row, image.rect());
    return image;
}

// Whether anything but the background was painted in the cell.
inline bool Painted(platform::ui::DrawGrid& grid, int column, int row) {
    const QImage image = GridCell(grid, column, row);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}
