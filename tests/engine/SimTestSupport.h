#pragma once

#include "engine/EngineApi.h"
#include "engine/EngineLoader.h"
#include "engine/VariantList.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv final
{
public:
    ScopedEnv(const char* name, const QString& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

inline QString simPluginPath()
{
    return QStringLiteral(QUOR_SIM_PLUGIN);
}

// Workspace 0 of a fresh simulation engine on the built-in catalog (or the given file), and
// the live values of its controllers.
class SimWorkspaceTest : public ::testing::Test
{
protected:
    std::shared_ptr<IWorkspace> openWorkspace(const QString& catalog = QString())
    {
        const ScopedEnv engine("QUOR_ENGINE", simPluginPath());
        const ScopedEnv file("QUOR_SIM_CATALOG", catalog);
        QString reason;
        m_engine = CreateEngine(&reason, &m_values);
        if (!m_engine)
            ADD_FAILURE() << reason.toStdString();
        return m_engine ? m_engine->Workspaces()->Item(0) : nullptr;
    }

    static QStringList variablesOf(IController& controller)
    {
        return textsOf(controller.VariableNames(Variant()));
    }

    // The answer of a QuorSQL extension to one query.
    static QStringList query(IExtension& extension, const QString& text)
    {
        extension.setValue(Variant::text(text));
        extension.Execute(0);
        return textsOf(extension.Value());
    }

    std::shared_ptr<IEngine> m_engine;
    // The live values the engine's plug-in offers.
    EngineValues m_values;
};
