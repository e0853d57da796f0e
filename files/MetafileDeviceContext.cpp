#include "files/MetafileDeviceContext.h"

#include <algorithm>

void MetafileDeviceContextStack::save(const MetafileDeviceContext& context)
{
    if (saved_.size() >= MaxDepth || ignoredSaves_ > 0) {
        ++ignoredSaves_;
        return;
    }
    saved_.push_back(context);
}

bool MetafileDeviceContextStack::restore(int which, MetafileDeviceContext& context)
{
    if (which < 0) {
        qint64 back = -static_cast<qint64>(which);
        // The saves that were ignored are undone first: they changed nothing.
        const qint64 ignored = std::min<qint64>(back, ignoredSaves_);
        if (back - ignored > depth())
            return false;
        ignoredSaves_ -= static_cast<int>(ignored);
        back -= ignored;
        if (back == 0)
            return true;
        const size_t keep = saved_.size() - static_cast<size_t>(back);
        context = std::move(saved_[keep]);
        saved_.erase(saved_.begin() + static_cast<std::ptrdiff_t>(keep), saved_.end());
        return true;
    }
    if (which == 0 || which > depth())
        return false;
    ignoredSaves_ = 0;
    context = std::move(saved_[static_cast<size_t>(which - 1)]);
    saved_.erase(saved_.begin() + (which - 1), saved_.end());
    return true;
}
