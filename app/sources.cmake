target_sources(quor_core PRIVATE
    app/CommandLine.cpp
    app/CommandLine.h
    app/LayoutRules.cpp
    app/LayoutRules.h
    app/ScriptCommands.cpp
    app/ScriptCommands.h
    app/VersionText.cpp
    app/VersionText.h)
target_sources(quor_gui PRIVATE
    app/Icons.cpp
    app/Icons.h
    app/TwipsGeometry.cpp
    app/TwipsGeometry.h
    app/frmMain.cpp
    app/frmMain.h
    app/frmMain_commands.cpp
    app/frmMain_composition.cpp
    app/frmMain_events.cpp
    app/frmMain_layout.cpp
    app/modMain.cpp
    app/modMain.h)
