#include "tags/TrendRecorder.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

// Adds the sample in its place unless it is too old or a repeat; tells whether it was added.
bool insert(TrendRecorder::Samples& samples, const TrendSample& sample, qint64 oldest)
{
    if (sample.msecs < oldest)
        return false;
    // Readings come in time order; one that comes late still goes to its place. A second value
    // at the same instant is the same reading, asked for twice.
    const auto place = std::lower_bound(samples.begin(), samples.end(), sample.msecs,
                                        [](const TrendSample& s, qint64 msecs) { return s.msecs < msecs; });
    if (place != samples.end() && place->msecs == sample.msecs)
        return false;
    samples.insert(place, sample);
    if (static_cast<qsizetype>(samples.size()) > TrendRecorder::kMaxSamplesPerTag)
        samples.pop_front();
    return true;
}

} // namespace

TrendRecorder::TrendRecorder(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); }))
{
}

void TrendRecorder::setTags(const QList<TrendTag>& tags)
{
    QHash<QString, qsizetype> before;
    for (qsizetype i = 0; i < m_tags.size(); ++i)
        before.insert(m_tags.at(i).tag, i);
    QList<TrendTag> kept;
    QList<Samples> keptSamples;
    QSet<QString> names;
    m_tagsOfVariable.clear();
    for (const TrendTag& tag : tags) {
        if (tag.variable.isEmpty() || names.contains(tag.tag))
            continue;
        names.insert(tag.tag);
        const qsizetype was = before.value(tag.tag, -1);
        const bool stays = was >= 0 && m_tags.at(was).variable == tag.variable;
        m_tagsOfVariable.insert(tag.variable, kept.size());
        kept.append(tag);
        keptSamples.append(stays ? std::move(m_samples[was]) : Samples());
    }
    m_tags = std::move(kept);
    m_samples = std::move(keptSamples);
}

QList<qsizetype> TrendRecorder::add(const QList<VariableValue>& values)
{
    const qint64 oldest = now().toMSecsSinceEpoch() - kSpanMsecs;
    QList<bool> changed(m_tags.size(), false);
    for (const VariableValue& value : values) {
        const std::optional<double> number = numericValue(value);
        if (!number)
            continue;
        // A reading without its time is taken as made now.
        const qint64 msecs =
            value.timestamp.isValid() ? value.timestamp.toMSecsSinceEpoch() : now().toMSecsSinceEpoch();
        for (auto it = m_tagsOfVariable.constFind(value.name);
             it != m_tagsOfVariable.cend() && it.key() == value.name; ++it) {
            if (insert(m_samples[it.value()], TrendSample{msecs, *number}, oldest))
                changed[it.value()] = true;
        }
    }

    QList<qsizetype> result;
    for (qsizetype i = 0; i < m_samples.size(); ++i) {
        Samples& samples = m_samples[i];
        const auto firstKept = std::find_if(samples.begin(), samples.end(),
                                            [oldest](const TrendSample& s) { return s.msecs >= oldest; });
        if (firstKept != samples.begin()) {
            samples.erase(samples.begin(), firstKept);
            changed[i] = true;
        }
        if (changed.at(i))
            result.append(i);
    }
    return result;
}

void TrendRecorder::clear()
{
    for (Samples& samples : m_samples)
        samples.clear();
}

QDateTime TrendRecorder::now() const
{
    return m_clock();
}

std::optional<std::pair<double, double>> TrendRecorder::valueRange() const
{
    std::optional<std::pair<double, double>> range;
    for (const Samples& samples : m_samples) {
        for (const TrendSample& sample : samples) {
            if (!range)
                range.emplace(sample.value, sample.value);
            range->first = std::min(range->first, sample.value);
            range->second = std::max(range->second, sample.value);
        }
    }
    return range;
}

std::optional<double> TrendRecorder::numericValue(const VariableValue& value)
{
    if (value.status != VariableValue::Status::Good)
        return std::nullopt;
    if (value.value.typeId() == QMetaType::Bool)
        return value.value.toBool() ? 1.0 : 0.0;
    if (!isNumberValue(value.value))
        return std::nullopt;
    const double number = value.value.toDouble();
    return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}
