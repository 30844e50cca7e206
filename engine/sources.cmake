target_sources(quor_core PRIVATE
    engine/EngineApi.h
    engine/EngineError.h
    engine/EnginePlugin.h
    engine/Variant.cpp
    engine/Variant.h)
target_sources(quor_gui PRIVATE)
