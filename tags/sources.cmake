target_sources(quor_core PRIVATE
    tags/TagGridModel.h)
target_sources(quor_gui PRIVATE
    tags/GridControl.h)
