#include "engine/sim/SimCatalog.h"

#include "engine/EngineError.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace sim {

namespace {

const char* const kCatalogVariable = "QUOR_SIM_CATALOG";
const QString kBuiltInCatalog = QStringLiteral(":/quorsim/catalog.json");
constexpr int kMaxGenerated = 1000000;

[[noreturn]] void fault(const QString& where, const QString& what)
{
    throw EngineError(QStringLiteral("Catalog %1: %2").arg(where, what));
}

QString at(const QString& where, const QString& key)
{
    return where.isEmpty() ? key : where + QLatin1Char('.') + key;
}

QString at(const QString& where, qsizetype index)
{
    return QStringLiteral("%1[%2]").arg(where).arg(index);
}

void checkKeys(const QJsonObject& object, const QStringList& allowed, const QString& where)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != QLatin1String("about") && !allowed.contains(it.key()))
            fault(where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
    }
}

QString textOf(const QJsonValue& value, const QString& where)
{
    if (!value.isString())
        fault(where, QStringLiteral("a text is expected"));
    return value.toString();
}

QString requiredText(const QJsonObject& object, const QString& key, const QString& where)
{
    if (!object.contains(key))
        fault(where, QStringLiteral("\"%1\" is missing").arg(key));
    const QString text = textOf(object.value(key), at(where, key));
    if (text.isEmpty())
        fault(at(where, key), QStringLiteral("must not be empty"));
    return text;
}

int wholeNumber(const QJsonObject& object, const QString& key, int fallback, int low, int high,
                const QString& where)
{
    if (!object.contains(key))
        return fallback;
    const QJsonValue value = object.value(key);
    const double number = value.toDouble(-1.0);
    if (!value.isDouble() || number != std::floor(number) || number < low || number > high)
        fault(at(where, key), QStringLiteral("a whole number from %1 to %2 is expected").arg(low).arg(high));
    return static_cast<int>(number);
}

bool flag(const QJsonObject& object, const QString& key, bool fallback, const QString& where)
{
    if (!object.contains(key))
        return fallback;
    if (!object.value(key).isBool())
        fault(at(where, key), QStringLiteral("true or false is expected"));
    return object.value(key).toBool();
}

QJsonArray arrayOf(const QJsonObject& object, const QString& key, const QString& where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return {};
    if (!value.isArray())
        fault(at(where, key), QStringLiteral("an array is expected"));
    return value.toArray();
}

QJsonObject objectOf(const QJsonValue& value, const QString& where)
{
    if (!value.isObject())
        fault(where, QStringLiteral("an object is expected"));
    return value.toObject();
}

QStringList textList(const QJsonObject& object, const QString& key, const QString& where)
{
    QStringList texts;
    const QJsonArray array = arrayOf(object, key, where);
    for (qsizetype i = 0; i < array.size(); ++i)
        texts.append(textOf(array.at(i), at(at(where, key), i)));
    return texts;
}

NameRule nameRule(const QJsonObject& rule, const QString& where)
{
    checkKeys(rule,
              {QStringLiteral("prefix"), QStringLiteral("count"), QStringLiteral("first"),
               QStringLiteral("digits"), QStringLiteral("suffix")},
              where);
    NameRule result;
    if (rule.contains(QLatin1String("prefix")))
        result.prefix = textOf(rule.value(QLatin1String("prefix")), at(where, QStringLiteral("prefix")));
    if (rule.contains(QLatin1String("suffix")))
        result.suffix = textOf(rule.value(QLatin1String("suffix")), at(where, QStringLiteral("suffix")));
    result.count = wholeNumber(rule, QStringLiteral("count"), 0, 0, kMaxGenerated, where);
    result.first = wholeNumber(rule, QStringLiteral("first"), 0, 0, 999999999, where);
    result.digits = wholeNumber(rule, QStringLiteral("digits"), 0, 0, 9, where);
    return result;
}

class Parser
{
public:
    Catalog parse(const QJsonObject& root)
    {
        checkKeys(root, {QStringLiteral("variableSets"), QStringLiteral("providers")}, QString());
        readVariableSets(root.value(QLatin1String("variableSets")));
        if (!root.value(QLatin1String("providers")).isArray())
            fault(QStringLiteral("providers"), QStringLiteral("an array of providers is expected"));
        Catalog catalog;
        const QJsonArray providers = root.value(QLatin1String("providers")).toArray();
        for (qsizetype i = 0; i < providers.size(); ++i) {
            const QString where = at(QStringLiteral("providers"), i);
            Provider provider = readProvider(objectOf(providers.at(i), where), where);
            if (catalog.provider(provider.name))
                fault(where, QStringLiteral("the provider \"%1\" is listed twice").arg(provider.name));
            catalog.providers.append(provider);
        }
        return catalog;
    }

private:
    QHash<QString, VariableList> m_sets;

    void readVariableSets(const QJsonValue& value)
    {
        if (value.isUndefined())
            return;
        const QJsonObject sets = objectOf(value, QStringLiteral("variableSets"));
        for (auto it = sets.begin(); it != sets.end(); ++it) {
            if (it.key() != QLatin1String("about"))
                m_sets.insert(it.key(), variables(it.value(), at(QStringLiteral("variableSets"), it.key())));
        }
    }

    // A list of names, or an object with "variableSet", "variables" and "generate".
    VariableList variables(const QJsonValue& value, const QString& where)
    {
        if (value.isArray()) {
            VariableList list;
            for (const QString& name : textList(QJsonObject{{QStringLiteral("variables"), value}},
                                                QStringLiteral("variables"), where))
                list.add(name);
            return list;
        }
        const QJsonObject object = objectOf(value, where);
        checkKeys(object, {QStringLiteral("variables"), QStringLiteral("generate")}, where);
        return variablesIn(object, where, false);
    }

    VariableList variablesIn(const QJsonObject& object, const QString& where, bool setAllowed)
    {
        VariableList list;
        if (setAllowed && object.contains(QLatin1String("variableSet"))) {
            const QString key = at(where, QStringLiteral("variableSet"));
            const QString set = textOf(object.value(QLatin1String("variableSet")), key);
            if (!m_sets.contains(set))
                fault(key, QStringLiteral("no variable set \"%1\"").arg(set));
            list.add(m_sets.value(set));
        }
        for (const QString& name : textList(object, QStringLiteral("variables"), where))
            list.add(name);
        const QJsonArray rules = arrayOf(object, QStringLiteral("generate"), where);
        for (qsizetype i = 0; i < rules.size(); ++i) {
            const QString ruleWhere = at(at(where, QStringLiteral("generate")), i);
            list.add(nameRule(objectOf(rules.at(i), ruleWhere), ruleWhere));
        }
        return list;
    }

    static QStringList variableKeys(QStringList others)
    {
        return others << QStringLiteral("variableSet") << QStringLiteral("variables")
                      << QStringLiteral("generate");
    }

    Provider readProvider(const QJsonObject& object, const QString& where)
    {
        Provider provider;
        provider.name = requiredText(object, QStringLiteral("name"), where);
        provider.kind =
            kindOf(requiredText(object, QStringLiteral("kind"), where), at(where, QStringLiteral("kind")));
        QStringList keys{QStringLiteral("name"), QStringLiteral("kind"), QStringLiteral("namePrefix"),
                         QStringLiteral("timeoutMs")};
        switch (provider.kind) {
        case ProviderKind::General:
            keys << QStringLiteral("machines") << QStringLiteral("options") << QStringLiteral("controllers");
            break;
        case ProviderKind::QueryServer:
            keys << QStringLiteral("servers");
            break;
        case ProviderKind::Ferrit:
        case ProviderKind::Lyra8:
            keys << QStringLiteral("stations");
            break;
        }
        checkKeys(object, keys, where);
        provider.namePrefix = object.contains(QLatin1String("namePrefix"))
                                  ? requiredText(object, QStringLiteral("namePrefix"), where)
                                  : provider.name.section(QLatin1Char('.'), -1);
        provider.timeoutMs = wholeNumber(object, QStringLiteral("timeoutMs"), 1000, 0, kMaxTimeoutMs, where);
        provider.options = textList(object, QStringLiteral("options"), where);
        readMachines(object, where, provider);
        provider.controllers = controllers(object, where, true);
        readStations(object, QStringLiteral("servers"), where, provider);
        readStations(object, QStringLiteral("stations"), where, provider);
        return provider;
    }

    static ProviderKind kindOf(const QString& kind, const QString& where)
    {
        if (kind == QLatin1String("general"))
            return ProviderKind::General;
        if (kind == QLatin1String("queryServer"))
            return ProviderKind::QueryServer;
        if (kind == QLatin1String("ferrit"))
            return ProviderKind::Ferrit;
        if (kind == QLatin1String("lyra8"))
            return ProviderKind::Lyra8;
        fault(where, QStringLiteral("unknown kind \"%1\"").arg(kind));
    }

    static void readMachines(const QJsonObject& object, const QString& where, Provider& provider)
    {
        const QString listWhere = at(where, QStringLiteral("machines"));
        const QJsonArray machines = arrayOf(object, QStringLiteral("machines"), where);
        for (qsizetype i = 0; i < machines.size(); ++i) {
            const QString machineWhere = at(listWhere, i);
            Machine machine;
            if (machines.at(i).isString()) {
                machine.name = machines.at(i).toString();
            } else {
                const QJsonObject entry = objectOf(machines.at(i), machineWhere);
                checkKeys(entry, {QStringLiteral("name"), QStringLiteral("reachable")}, machineWhere);
                machine.name = requiredText(entry, QStringLiteral("name"), machineWhere);
                machine.reachable = flag(entry, QStringLiteral("reachable"), true, machineWhere);
            }
            if (machine.name.isEmpty())
                fault(machineWhere, QStringLiteral("a machine needs a name; \"\" is the local machine"));
            provider.machines.append(machine);
        }
    }

    static int answerMs(const QJsonObject& entry, const QString& where)
    {
        return wholeNumber(entry, QStringLiteral("answerMs"), 0, 0, kMaxTimeoutMs, where);
    }

    QList<ControllerDef> controllers(const QJsonObject& object, const QString& where, bool withMachine)
    {
        QList<ControllerDef> list;
        const QString listWhere = at(where, QStringLiteral("controllers"));
        const QJsonArray entries = arrayOf(object, QStringLiteral("controllers"), where);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString entryWhere = at(listWhere, i);
            const QJsonObject entry = objectOf(entries.at(i), entryWhere);
            checkKeys(entry,
                      variableKeys(withMachine
                                       ? QStringList{QStringLiteral("name"), QStringLiteral("machine"),
                                                     QStringLiteral("answerMs")}
                                       : QStringList{QStringLiteral("name")}),
                      entryWhere);
            ControllerDef controller;
            controller.name = requiredText(entry, QStringLiteral("name"), entryWhere);
            if (entry.contains(QLatin1String("machine")))
                controller.machine =
                    textOf(entry.value(QLatin1String("machine")), at(entryWhere, QStringLiteral("machine")));
            controller.answerMs = answerMs(entry, entryWhere);
            controller.variables = variablesIn(entry, entryWhere, true);
            list.append(controller);
        }
        return list;
    }

    void readStations(const QJsonObject& object, const QString& key, const QString& where, Provider& provider)
    {
        const bool servers = key == QLatin1String("servers");
        const QString listWhere = at(where, key);
        const QJsonArray entries = arrayOf(object, key, where);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString entryWhere = at(listWhere, i);
            const QJsonObject entry = objectOf(entries.at(i), entryWhere);
            QStringList keys{QStringLiteral("address"), QStringLiteral("reachable"),
                             QStringLiteral("answerMs")};
            if (servers)
                keys << QStringLiteral("port") << QStringLiteral("controllers");
            checkKeys(entry, variableKeys(keys), entryWhere);
            Station station;
            station.address = requiredText(entry, QStringLiteral("address"), entryWhere);
            station.reachable = flag(entry, QStringLiteral("reachable"), true, entryWhere);
            station.answerMs = answerMs(entry, entryWhere);
            if (servers) {
                if (!entry.contains(QLatin1String("port")))
                    fault(entryWhere, QStringLiteral("\"port\" is missing"));
                station.port = wholeNumber(entry, QStringLiteral("port"), 0, 1, 65535, entryWhere);
                station.controllers = controllers(entry, entryWhere, false);
            }
            station.variables = variablesIn(entry, entryWhere, true);
            provider.stations.append(station);
        }
    }
};

} // namespace

void VariableList::add(const QString& name)
{
    if (m_pieces.isEmpty() || m_pieces.last().rule.count > 0)
        m_pieces.append(Piece());
    m_pieces.last().names.append(name);
}

void VariableList::add(const NameRule& rule)
{
    if (rule.count == 0)
        return;
    if (m_pieces.isEmpty() || m_pieces.last().rule.count > 0)
        m_pieces.append(Piece());
    m_pieces.last().rule = rule;
}

void VariableList::add(const VariableList& list)
{
    m_pieces += list.m_pieces;
}

QStringList VariableList::names() const
{
    qsizetype size = 0;
    for (const Piece& piece : m_pieces)
        size += piece.names.size() + piece.rule.count;
    QStringList names;
    names.reserve(size);
    for (const Piece& piece : m_pieces) {
        names += piece.names;
        const NameRule& rule = piece.rule;
        for (int i = 0; i < rule.count; ++i)
            names.append(rule.prefix +
                         QStringLiteral("%1").arg(rule.first + i, rule.digits, 10, QLatin1Char('0')) +
                         rule.suffix);
    }
    return names;
}

const Provider* Catalog::provider(const QString& name) const
{
    for (const Provider& provider : providers) {
        if (provider.name.compare(name, Qt::CaseInsensitive) == 0)
            return &provider;
    }
    return nullptr;
}

Catalog parseCatalog(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fault(QStringLiteral("text"),
              QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        fault(QStringLiteral("text"), QStringLiteral("the catalog must be one JSON object"));
    return Parser().parse(document.object());
}

Catalog loadCatalog()
{
    const QString configured = qEnvironmentVariable(kCatalogVariable);
    const QString path = configured.isEmpty() ? kBuiltInCatalog : configured;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot read the catalog %1: %2").arg(path, file.errorString()));
    try {
        return parseCatalog(file.readAll());
    } catch (const EngineError& e) {
        throw EngineError(QStringLiteral("%1 (%2)").arg(e.message(), path));
    }
}

} // namespace sim
