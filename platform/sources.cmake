target_sources(quor_core PRIVATE
    platform/AppInfo.cpp
    platform/AppInfo.h)
target_sources(quor_gui PRIVATE
    platform/Dialogs.cpp
    platform/Dialogs.h
    platform/RealDialogs.cpp
    platform/RealDialogs.h)
target_sources(quor_gui PRIVATE
    platform/BusyCursor.h
    platform/ComboBoxes.cpp
    platform/ComboBoxes.h
    platform/ObjectNames.h)
