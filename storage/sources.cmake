target_sources(quor_core PRIVATE
    storage/IniDocument.cpp
    storage/IniDocument.h
    storage/IniKeyIndex.cpp
    storage/IniKeyIndex.h
    storage/OptionText.cpp
    storage/OptionText.h
    storage/PrivateProfile.cpp
    storage/PrivateProfile.h
    storage/ProfileFileCache.cpp
    storage/ProfileFileCache.h
    storage/RecentConnections.cpp
    storage/RecentConnections.h
    storage/SettingsLocation.cpp
    storage/SettingsLocation.h
    storage/TagFileFormat.cpp
    storage/TagFileFormat.h
    storage/TagFileRows.cpp
    storage/TagFileRows.h
    storage/TagTableCheck.cpp
    storage/TagTableCheck.h
    storage/clsCtrlParameter.h
    storage/clsProfile.cpp
    storage/clsProfile.h)
target_sources(quor_gui PRIVATE
    storage/frmMain_settings.cpp
    storage/frmMain_tagfile.cpp)
