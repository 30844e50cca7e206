target_sources(quor_core PRIVATE
    storage/OptionText.cpp
    storage/OptionText.h
    storage/TagFileFormat.cpp
    storage/TagFileFormat.h
    storage/TagTableCheck.cpp
    storage/TagTableCheck.h
    storage/clsCtrlParameter.h
    storage/RecentConnections.cpp
    storage/RecentConnections.h)
target_sources(quor_gui PRIVATE
    storage/frmMain_settings.cpp
    storage/frmMain_tagfile.cpp)
