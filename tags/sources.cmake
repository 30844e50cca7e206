target_sources(quor_core PRIVATE
    tags/GridRow.cpp
    tags/GridRow.h
    tags/TagGridModel.cpp
    tags/TagGridModel.h
    tags/TagNameRules.cpp
    tags/TagNameRules.h)
target_sources(quor_gui PRIVATE
    tags/GridControl.cpp
    tags/GridControl.h
    tags/frmMain_tags.cpp)
