target_sources(quor_core PRIVATE)
target_sources(quor_gui PRIVATE)
