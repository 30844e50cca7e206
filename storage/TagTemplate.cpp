#include "storage/TagTemplate.h"

#include "storage/InstanceTable.h"
#include "storage/TagFileReader.h"
#include "tags/GridRow.h"
#include "tags/TagGridModel.h"

#include <algorithm>
#include <utility>

using namespace TagFileFormat;

namespace {

const std::array<QString, 4> kConnectionFields = {kController, kProvider, kMachine, kOption};

} // namespace

std::optional<PlaceholderText> PlaceholderText::parse(const QString& text, const InstanceTable& instances,
                                                      QString& problem)
{
    PlaceholderText parsed;
    QString literal;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool doubled = i + 1 < text.size() && text.at(i + 1) == c;
        if (c == QLatin1Char('}') && doubled) {
            literal += c;
            ++i;
            continue;
        }
        if (c != QLatin1Char('{')) {
            literal += c;
            continue;
        }
        if (doubled) {
            literal += c;
            ++i;
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
        const qsizetype nextOpen = text.indexOf(QLatin1Char('{'), i + 1);
        if (close < 0 || (nextOpen >= 0 && nextOpen < close)) {
            problem = QStringLiteral("a \"{\" is not closed by \"}\" (write \"{{\" for the brace itself)");
            return std::nullopt;
        }
        const QStringView name = QStringView(text).mid(i + 1, close - i - 1);
        const std::optional<qsizetype> column = instances.columnOf(name);
        if (!column) {
            problem = QStringLiteral("the placeholder {%1} names no column of the instance table (%2)")
                          .arg(name.toString(), instances.columns.join(QStringLiteral(", ")));
            return std::nullopt;
        }
        if (!literal.isEmpty())
            parsed.m_pieces.append({std::exchange(literal, QString()), -1});
        parsed.m_pieces.append({QString(), *column});
        i = close;
    }
    if (!literal.isEmpty() || parsed.m_pieces.isEmpty())
        parsed.m_pieces.append({literal, -1});
    return parsed;
}

QString PlaceholderText::fill(const QStringList& values) const
{
    // A text without placeholders is shared, not copied.
    if (m_pieces.size() == 1 && m_pieces.first().column < 0)
        return m_pieces.first().text;
    QString text;
    for (const Piece& piece : m_pieces)
        text += piece.column < 0 ? piece.text : values.value(piece.column);
    return text;
}

void PlaceholderText::addColumnsTo(QList<qsizetype>& columns) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.column >= 0 && !columns.contains(piece.column))
            columns.append(piece.column);
    }
}

TagTemplate::TagTemplate(const TagGridModel& table, const clsCtrlParameter& connection,
                         const InstanceTable& instances, const QString& name, QStringList& problems)
    : m_type(connection.m_lConnectType)
{
    const auto parse = [&](const QString& text, const QString& where) {
        QString problem;
        std::optional<PlaceholderText> parsed = PlaceholderText::parse(text, instances, problem);
        if (!parsed) {
            problems.append(where + problem);
            return PlaceholderText();
        }
        parsed->addColumnsTo(m_usedColumns);
        return std::move(*parsed);
    };
    const std::array<QString, 4> texts = {connection.m_strControllerName, connection.m_strProviderName,
                                          connection.m_strMachineName, connection.m_strOptionVal};
    for (size_t i = 0; i < texts.size(); ++i)
        m_connection[i] = parse(texts[i], QStringLiteral("%1: %2: ").arg(name, kConnectionFields[i]));
    m_rows.reserve(size_t(std::max(table.Rows() - 1, 0)));
    for (qint32 row = 1; row < table.Rows(); ++row) {
        Row& cells = m_rows.emplace_back();
        for (int i = 0; i < kStoredColumns; ++i)
            cells[size_t(i)] =
                parse(table.TextMatrix(row, kFirstStoredColumn + i),
                      QStringLiteral("%1:%2: %3: ").arg(name, tagKey(row), kStoredColumnTitles.at(i)));
    }
    std::sort(m_usedColumns.begin(), m_usedColumns.end());
}

TagTemplate::~TagTemplate() = default;

clsCtrlParameter TagTemplate::connectionFor(const QStringList& values) const
{
    clsCtrlParameter connection;
    connection.m_lConnectType = m_type;
    connection.m_strControllerName = m_connection[0].fill(values);
    connection.m_strProviderName = m_connection[1].fill(values);
    connection.m_strMachineName = m_connection[2].fill(values);
    connection.m_strOptionVal = m_connection[3].fill(values);
    return connection;
}

std::unique_ptr<TagGridModel> TagTemplate::tableFor(const QStringList& values) const
{
    std::unique_ptr<TagGridModel> table = newTagTable();
    std::vector<GridRow> rows;
    rows.reserve(m_rows.size());
    std::array<QString, kStoredColumns + 1> texts;
    std::array<QStringView, kStoredColumns + 1> cells;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        texts[0] = QString::number(r + 1);
        for (size_t i = 0; i < size_t(kStoredColumns); ++i)
            texts[i + 1] = m_rows[r][i].fill(values);
        std::copy(texts.begin(), texts.end(), cells.begin());
        rows.emplace_back(std::span<const QStringView>(cells));
    }
    table->insertItems(table->Rows(), std::move(rows));
    return table;
}
