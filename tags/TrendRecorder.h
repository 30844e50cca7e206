#pragma once

#include "engine/ValueCapability.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// A tag whose values are followed: its name, shown in the legend and the CSV, and the variable
// whose values it takes.
struct TrendTag
{
    QString tag;
    QString variable;

    bool operator==(const TrendTag&) const = default;
};

// One numeric value of a tag and when it was read (milliseconds since the epoch, UTC).
struct TrendSample
{
    qint64 msecs = 0;
    double value = 0;

    bool operator==(const TrendSample&) const = default;
};

// The numeric values of the followed tags over the last ten minutes. Only good readings count:
// numbers as they are, booleans as 0 and 1; text, failed reads and values that are not finite
// leave no sample. Older samples are dropped as values come in, and each tag keeps at most
// kMaxSamplesPerTag, so memory stays bounded however fast the values come.
class TrendRecorder final
{
public:
    using Clock = std::function<QDateTime()>;
    using Samples = std::deque<TrendSample>;

    static constexpr qint64 kSpanMsecs = 10 * 60 * 1000;
    // Ten minutes at twenty readings a second.
    static constexpr qsizetype kMaxSamplesPerTag = 12000;

    // `clock` tells the present time; the system clock unless given.
    explicit TrendRecorder(Clock clock = {});

    // Follows these tags in this order. Tags without a variable are left out, as are repeated
    // tag names. A tag that stays (same name, same variable) keeps its samples.
    void setTags(const QList<TrendTag>& tags);
    const QList<TrendTag>& tags() const { return m_tags; }
    const Samples& samples(qsizetype tagIndex) const { return m_samples.at(tagIndex); }

    // Takes each value for every tag of its variable, then drops the samples that are now older
    // than ten minutes. Gives the indexes of the tags whose samples changed.
    QList<qsizetype> add(const QList<VariableValue>& values);
    // Drops every sample; the tags stay.
    void clear();

    QDateTime now() const;
    // The lowest and highest value held, or nothing while no sample is held.
    std::optional<std::pair<double, double>> valueRange() const;

    // The number a value plots as, or nothing when it has none.
    static std::optional<double> numericValue(const VariableValue& value);

private:
    Clock m_clock;
    QList<TrendTag> m_tags;
    QList<Samples> m_samples;
    // The indexes of the tags of each variable.
    QMultiHash<QString, qsizetype> m_tagsOfVariable;
};
