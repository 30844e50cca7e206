target_sources(quor_core PRIVATE
    storage/clsCtrlParameter.h
    storage/clsProfile.cpp
    storage/clsProfile.h
    storage/IniDocument.cpp
    storage/IniDocument.h
    storage/IniKeyIndex.cpp
    storage/IniKeyIndex.h
    storage/PrivateProfile.cpp
    storage/PrivateProfile.h
    storage/ProfileFileCache.cpp
    storage/ProfileFileCache.h
    storage/RecentConnections.cpp
    storage/RecentConnections.h
    storage/SettingsLocation.cpp
    storage/SettingsLocation.h)
target_sources(quor_gui PRIVATE)
