#include "engine/modbus/RegisterMap.h"

#include "engine/EngineError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace modbus {

namespace {

// A map is a few thousand lines at most; anything this large is not one.
constexpr qint64 kMaxMapBytes = 16 * 1024 * 1024;
// The faulty lines one message lists; a map with more is not worth reading line by line.
constexpr int kMaxListedFaults = 20;

// A control character as a reader would name it: "tab", "line break", "NUL" or its code.
QString controlName(QChar c)
{
    switch (c.unicode()) {
    case 0x00:
        return QStringLiteral("NUL");
    case 0x09:
        return QStringLiteral("tab");
    case 0x0A:
    case 0x0D:
        return QStringLiteral("line break");
    default:
        return QStringLiteral("U+") +
               QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
}

struct TypeInfo
{
    QLatin1StringView name;
    ValueType type;
    quint16 count;
    bool bit;
};

constexpr TypeInfo kTypes[] = {
    {QLatin1StringView("bool"), ValueType::Bool, 1, true},
    {QLatin1StringView("int16"), ValueType::Int16, 1, false},
    {QLatin1StringView("uint16"), ValueType::UInt16, 1, false},
    {QLatin1StringView("int32"), ValueType::Int32, 2, false},
    {QLatin1StringView("uint32"), ValueType::UInt32, 2, false},
    {QLatin1StringView("float32"), ValueType::Float32, 2, false},
};

struct TableInfo
{
    QLatin1StringView name;
    QModbusDataUnit::RegisterType table;
};

constexpr TableInfo kTables[] = {
    {QLatin1StringView("coil"), QModbusDataUnit::Coils},
    {QLatin1StringView("discrete"), QModbusDataUnit::DiscreteInputs},
    {QLatin1StringView("input"), QModbusDataUnit::InputRegisters},
    {QLatin1StringView("holding"), QModbusDataUnit::HoldingRegisters},
};

const QStringList kHeader = {QStringLiteral("Name"), QStringLiteral("Table"), QStringLiteral("Address"),
                             QStringLiteral("Type")};
const QString kOrderColumn = QStringLiteral("Order");

// The fields of one CSV line, trimmed; false when a quoted field is not closed.
bool splitFields(const QString& line, QStringList& fields)
{
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted && c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
            field += c;
            ++i;
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (c == QLatin1Char(',') && !quoted) {
            fields.append(field.trimmed());
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field.trimmed());
    return !quoted;
}

bool sameWords(const QStringList& a, const QStringList& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const QString& x, const QString& y) {
        return x.compare(y, Qt::CaseInsensitive) == 0;
    });
}

class MapParser final
{
public:
    explicit MapParser(QString fileName) : m_fileName(std::move(fileName)) {}

    RegisterMap parse(const QByteArray& bytes)
    {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            m_line = int(i + 1);
            QString line = lines.at(i);
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (line.trimmed().isEmpty())
                continue;
            // A faulty row is noted and the next one read, so that one reading names them all.
            try {
                QStringList fields;
                if (!splitFields(line, fields))
                    fault(QStringLiteral("a quoted field is not closed"));
                if (m_columns == 0)
                    readHeader(fields);
                else
                    m_map.append(entry(fields));
            } catch (const LineFault& faulty) {
                if (m_columns == 0)
                    throw EngineError(faulty.text);
                m_faults.append(faulty.text);
            }
        }
        m_line = std::max(m_headerLine, 1);
        if (m_columns == 0)
            throw EngineError(faultText(QStringLiteral("the header Name,Table,Address,Type is missing")));
        if (!m_faults.isEmpty())
            throw EngineError(faultList());
        if (m_map.isEmpty())
            throw EngineError(faultText(QStringLiteral("no register follows the header")));
        return m_map;
    }

private:
    // The fault of one line, caught by the reading of the whole map.
    struct LineFault
    {
        QString text;
    };

    QString faultText(const QString& reason) const
    {
        return QStringLiteral("Register map %1 line %2: %3.").arg(m_fileName).arg(m_line).arg(reason);
    }

    [[noreturn]] void fault(const QString& reason) const { throw LineFault{faultText(reason)}; }

    // Every faulty line, one to a line, up to kMaxListedFaults.
    QString faultList() const
    {
        QStringList listed = m_faults.mid(0, kMaxListedFaults);
        if (m_faults.size() > kMaxListedFaults)
            listed.append(QStringLiteral("%1 more faulty lines are not listed.")
                              .arg(m_faults.size() - kMaxListedFaults));
        return listed.join(QLatin1Char('\n'));
    }

    void checkName(const QString& name) const
    {
        if (name.isEmpty())
            fault(QStringLiteral("the name is empty"));
        for (const QChar c : name) {
            if (c.category() == QChar::Other_Control)
                fault(QStringLiteral("the name holds the control character %1").arg(controlName(c)));
        }
    }

    void readHeader(const QStringList& fields)
    {
        m_headerLine = m_line;
        if (sameWords(fields, kHeader))
            m_columns = 4;
        else if (sameWords(fields, QStringList(kHeader) << kOrderColumn))
            m_columns = 5;
        else
            fault(QStringLiteral(
                      "the header must be Name,Table,Address,Type with an optional Order column, not "
                      "'%1'")
                      .arg(fields.join(QLatin1Char(','))));
    }

    RegisterEntry entry(const QStringList& fields)
    {
        // A row may leave out an empty Order at its end.
        if (fields.size() != m_columns && !(m_columns == 5 && fields.size() == 4))
            fault(QStringLiteral("expected %1 fields, found %2").arg(m_columns).arg(fields.size()));
        RegisterEntry entry;
        entry.name = fields.at(0);
        checkName(entry.name);
        const int earlier = m_lineOfName.value(entry.name.toCaseFolded());
        if (earlier)
            fault(QStringLiteral("the name '%1' is already on line %2").arg(entry.name).arg(earlier));
        entry.table = table(fields.at(1));
        const TypeInfo& type = typeOf(fields.at(3));
        entry.type = type.type;
        entry.count = type.count;
        const bool bitTable =
            entry.table == QModbusDataUnit::Coils || entry.table == QModbusDataUnit::DiscreteInputs;
        if (type.bit != bitTable)
            fault(
                QStringLiteral("type '%1' does not fit table '%2' (bool goes with coil and discrete, numbers "
                               "with input and holding)")
                    .arg(fields.at(3), fields.at(1)));
        entry.address = address(fields.at(2), type);
        entry.order = orderOf(fields.value(4), type);
        m_lineOfName.insert(entry.name.toCaseFolded(), m_line);
        return entry;
    }

    QModbusDataUnit::RegisterType table(const QString& text) const
    {
        for (const TableInfo& info : kTables) {
            if (text.compare(info.name, Qt::CaseInsensitive) == 0)
                return info.table;
        }
        fault(QStringLiteral("unknown table '%1' (coil, discrete, input or holding)").arg(text));
    }

    const TypeInfo& typeOf(const QString& text) const
    {
        for (const TypeInfo& info : kTypes) {
            if (text.compare(info.name, Qt::CaseInsensitive) == 0)
                return info;
        }
        fault(QStringLiteral("unknown type '%1'").arg(text));
    }

    quint16 address(const QString& text, const TypeInfo& type) const
    {
        const bool digits =
            !text.isEmpty() && text.size() <= 5 && std::all_of(text.begin(), text.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            });
        const int value = digits ? text.toInt() : -1;
        if (value < 0 || value > 65535)
            fault(QStringLiteral("'%1' is not an address from 0 to 65535").arg(text));
        if (value + type.count - 1 > 65535)
            fault(QStringLiteral("a %1 at %2 runs past address 65535").arg(type.name).arg(value));
        return quint16(value);
    }

    QByteArray orderOf(const QString& text, const TypeInfo& type) const
    {
        if (text.isEmpty())
            return type.bit ? QByteArray() : type.count == 1 ? QByteArray("AB") : QByteArray("ABCD");
        if (type.bit)
            fault(QStringLiteral("a bool has no byte order, found '%1'").arg(text));
        const QStringList orders = type.count == 1
                                       ? QStringList{QStringLiteral("AB"), QStringLiteral("BA")}
                                       : QStringList{QStringLiteral("ABCD"), QStringLiteral("CDAB"),
                                                     QStringLiteral("BADC"), QStringLiteral("DCBA")};
        if (!orders.contains(text, Qt::CaseInsensitive))
            fault(QStringLiteral("unknown order '%1' for %2 (%3)")
                      .arg(text, type.name, orders.join(QStringLiteral(", "))));
        return text.toUpper().toLatin1();
    }

    QString m_fileName;
    int m_line = 0;
    int m_headerLine = 0;
    int m_columns = 0;
    QHash<QString, int> m_lineOfName;
    RegisterMap m_map;
    QStringList m_faults;
};

} // namespace

RegisterMap parseRegisterMap(const QByteArray& text, const QString& fileName)
{
    return MapParser(fileName).parse(text);
}

RegisterMap readRegisterMap(const QString& path)
{
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    // Opening a pipe would wait for a writer, and a device reads without end.
    if (info.exists() && !info.isFile())
        throw EngineError(
            QStringLiteral("Register map %1 cannot be read: it is not a regular file.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(
            QStringLiteral("Register map %1 cannot be read: %2.").arg(path, file.errorString()));
    if (file.size() > kMaxMapBytes)
        throw EngineError(
            QStringLiteral("Register map %1 is larger than %2 MiB.").arg(path).arg(kMaxMapBytes >> 20));
    const QByteArray text = file.read(kMaxMapBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw EngineError(
            QStringLiteral("Register map %1 cannot be read: %2.").arg(path, file.errorString()));
    return parseRegisterMap(text, fileName);
}

QString typeName(ValueType type)
{
    for (const TypeInfo& info : kTypes) {
        if (info.type == type)
            return info.name;
    }
    return QString();
}

QString tableName(QModbusDataUnit::RegisterType table)
{
    for (const TableInfo& info : kTables) {
        if (info.table == table)
            return info.name;
    }
    return QString();
}

} // namespace modbus
