#pragma once

#include "engine/EngineLoader.h"
#include "engine/EngineValues.h"
#include "tests/engine/SimTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

// The engine of one plug-in, loaded with its value capability; the controller and its values
// that a test connects are dropped after it, with the deletions they leave to the event loop.
class PluginValuesFixture : public ::testing::Test
{
protected:
    void loadPlugin(const QString& path)
    {
        const ScopedEnv engine("QUOR_ENGINE", path);
        QString reason;
        m_engine = CreateEngine(&reason, &sources);
        ASSERT_NE(m_engine, nullptr) << reason.toStdString();
        workspace = m_engine->Workspaces()->Item(0);
    }

    void TearDown() override
    {
        values.reset();
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    EngineValues sources;
    std::shared_ptr<IWorkspace> workspace;
    std::shared_ptr<IController> controller;
    std::shared_ptr<IControllerValues> values;

private:
    std::shared_ptr<IEngine> m_engine;
};
