#pragma once

#include "engine/EngineError.h"
#include "engine/Variant.h"

#include <QString>
#include <memory>

// The objects of the controller-access engine as the program uses them. Holding a
// shared_ptr is holding a reference; releasing is dropping it. Every operation is
// synchronous and throws EngineError when it fails.

class IExtension
{
public:
    virtual ~IExtension() = default;
    virtual Variant Value() const = 0;
    virtual void setValue(const Variant& value) = 0;
    virtual void Execute(qint32 mode) = 0;
    // The extension's place in its controller's extension collection.
    virtual qint32 Index() const = 0;
};

class IExtensions
{
public:
    virtual ~IExtensions() = default;
    // The index is a value holding a 32-bit integer.
    virtual void Remove(const Variant& index) = 0;
};

class IController
{
public:
    virtual ~IController() = default;
    virtual QString Name() const = 0;
    virtual Variant VariableNames(const Variant& option) = 0;
    virtual std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) = 0;
    virtual std::shared_ptr<IExtensions> Extensions() = 0;
};

class IWorkspace
{
public:
    virtual ~IWorkspace() = default;
    virtual Variant ProviderNames(const Variant& option) = 0;
    // May return no object; the caller treats that as a failed connection.
    virtual std::shared_ptr<IController> AddController(const QString& controllerName,
                                                       const QString& providerName,
                                                       const QString& machineName, const QString& option) = 0;
};

class IWorkspaces
{
public:
    virtual ~IWorkspaces() = default;
    virtual std::shared_ptr<IWorkspace> Item(qint16 index) = 0;
};

class IEngine
{
public:
    virtual ~IEngine() = default;
    virtual std::shared_ptr<IWorkspaces> Workspaces() = 0;
};
