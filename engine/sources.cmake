target_sources(quor_core PRIVATE
    engine/ConnectionOptions.cpp
    engine/ConnectionOptions.h
    engine/EngineApi.h
    engine/EngineError.h
    engine/EngineLoader.cpp
    engine/EngineLoader.h
    engine/EnginePlugin.h
    engine/EngineSet.cpp
    engine/EngineSet.h
    engine/FailureText.cpp
    engine/FailureText.h
    engine/clsCtrlParameter.h
    engine/Variant.cpp
    engine/Variant.h
    engine/VariantList.cpp
    engine/VariantList.h)
