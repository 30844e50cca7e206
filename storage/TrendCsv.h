#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class TrendRecorder;

// The samples of a trend as CSV (RFC 4180, UTF-8, lines ended by CR LF), one record per sample
// in the long form that a spreadsheet's pivot table turns into a column per tag:
//
//   Time (UTC),Tag,Value
//   2024-05-02 08:15:00.250,Ram.Position,12.5
//
// Time is the reading's time stamp in UTC, ISO 8601 with a blank between date and time and
// milliseconds, which spreadsheets read as a date and time. Value is the plotted number with a
// point as decimal separator and as many digits as it takes to read back the same number
// (booleans are 0 and 1). Records are in time order, samples of the same instant in tag order.
namespace TrendCsv {

extern const QString kTimeFormat;

QByteArray fromRecorder(const TrendRecorder& recorder);

// Writes the CSV to `path` as a whole or not at all (a temporary file renamed over the old one).
// Gives the reason, with the path, when it could not be written.
std::optional<QString> save(const TrendRecorder& recorder, const QString& path);

} // namespace TrendCsv
