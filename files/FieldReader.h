#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

// The "|"-separated fields of a track definition or record file, taken left to right.
class FieldReader {
public:
    explicit FieldReader(QStringView text) : text_(text) {}

    // The next field up to its "|"; nothing when no "|" is left.
    std::optional<QStringView> next()
    {
        const qsizetype bar = text_.indexOf(u'|', position_);
        if (bar < 0)
            return std::nullopt;
        const QStringView field = text_.sliced(position_, bar - position_);
        position_ = bar + 1;
        return field;
    }

    // Everything after the last "|" taken.
    QStringView rest() const { return text_.sliced(position_); }

private:
    QStringView text_;
    qsizetype position_ = 0;
};
