target_sources(quor_core PRIVATE
    engine/EngineApi.h
    engine/EngineError.h
    engine/EngineLoader.cpp
    engine/EngineLoader.h
    engine/EnginePlugin.h
    engine/Variant.cpp
    engine/Variant.h
    engine/VariantList.cpp
    engine/VariantList.h)
target_sources(quor_gui PRIVATE)
