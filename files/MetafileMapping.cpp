#include "files/MetafileMapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

MetafileMapping::MetafileMapping(QPoint windowOrg, QSize windowExt, QSize frameSize)
    : windowOrg_(windowOrg), windowExt_(windowExt), viewportExt_(std::abs(frameSize.width()), std::abs(frameSize.height()))
{
    if (windowExt_.width() == 0 || windowExt_.height() == 0)
        windowExt_ = viewportExt_;
    if (viewportExt_.width() == 0 || viewportExt_.height() == 0)
        windowExt_ = viewportExt_ = QSize(1, 1);
}

void MetafileMapping::setMode(int mode)
{
    switch (mode) {
    case Text:
        windowExt_ = viewportExt_ = QSize(1, 1);
        break;
    case LoMetric:
    case HiMetric:
    case LoEnglish:
    case HiEnglish:
    case Twips:
        windowExt_ = QSize(1, 1);
        viewportExt_ = QSize(1, -1);
        break;
    case Isotropic:
    case Anisotropic:
        break;  // the extents stay as they are
    default:
        return;
    }
    mode_ = mode;
}

void MetafileMapping::setWindowExt(int width, int height)
{
    if (extentsSettable() && width != 0 && height != 0)
        windowExt_ = QSize(width, height);
}

void MetafileMapping::setViewportExt(int width, int height)
{
    if (extentsSettable() && width != 0 && height != 0)
        viewportExt_ = QSize(width, height);
}

QPoint MetafileMapping::offset(QPoint origin, int dx, int dy)
{
    static constexpr long long Limit = 1 << 30;
    const auto moved = [](int value, int delta) { return static_cast<int>(std::clamp<long long>(static_cast<long long>(value) + delta, -Limit, Limit)); };
    return QPoint(moved(origin.x(), dx), moved(origin.y(), dy));
}

bool MetafileMapping::scaled(QSize& extent, int xNum, int xDenom, int yNum, int yDenom)
{
    if (xDenom == 0 || yDenom == 0)
        return false;
    const long long width = static_cast<long long>(extent.width()) * xNum / xDenom;
    const long long height = static_cast<long long>(extent.height()) * yNum / yDenom;
    constexpr long long Limit = std::numeric_limits<int>::max();
    if (width == 0 || height == 0 || std::llabs(width) > Limit || std::llabs(height) > Limit)
        return false;
    extent = QSize(static_cast<int>(width), static_cast<int>(height));
    return true;
}

void MetafileMapping::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (extentsSettable())
        scaled(windowExt_, xNum, xDenom, yNum, yDenom);
}

void MetafileMapping::scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (extentsSettable())
        scaled(viewportExt_, xNum, xDenom, yNum, yDenom);
}

double MetafileMapping::isotropicScale() const
{
    const double x = std::abs(double(viewportExt_.width()) / windowExt_.width());
    const double y = std::abs(double(viewportExt_.height()) / windowExt_.height());
    return std::min(x, y);
}

double MetafileMapping::scaleX() const
{
    if (mode_ == Isotropic) {
        const bool negative = (viewportExt_.width() < 0) != (windowExt_.width() < 0);
        return negative ? -isotropicScale() : isotropicScale();
    }
    return double(viewportExt_.width()) / windowExt_.width();
}

double MetafileMapping::scaleY() const
{
    if (mode_ == Isotropic) {
        const bool negative = (viewportExt_.height() < 0) != (windowExt_.height() < 0);
        return negative ? -isotropicScale() : isotropicScale();
    }
    return double(viewportExt_.height()) / windowExt_.height();
}
