target_sources(quor_core PRIVATE
    tags/TagGridModel.cpp
    tags/TagGridModel.h
    tags/TagNameRules.cpp
    tags/TagNameRules.h
    tags/VariableTextRules.cpp
    tags/VariableTextRules.h)
target_sources(quor_gui PRIVATE
    tags/GridControl.cpp
    tags/GridControl.h
    tags/frmMain_tags.cpp)
