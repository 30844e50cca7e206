# Precompiled headers: the standard, Qt and GoogleTest headers that most files include, parsed
# once per target (or once for several targets) instead of once per file. Configure with
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON to check that every file includes what it uses.
#
# A target reusing another's (REUSE_FROM) needs the same compile options, every macro of that
# target defined alike, and no further macro that the headers test. So the definitions that
# differ by target are kept out of the shared ones, and the lists leave out headers that test
# which Qt modules a target links (<QTest> tests QT_NETWORK_LIB): the targets that link more
# modules still share them.
set(QUOR_PCH_CORE
    <algorithm> <functional> <memory> <optional> <vector>
    <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject> <QString> <QStringList>)
set(QUOR_PCH_WIDGETS ${QUOR_PCH_CORE}
    <QAction> <QApplication> <QComboBox> <QLabel> <QLineEdit> <QMainWindow> <QMenuBar>
    <QPushButton> <QRadioButton>)
set(QUOR_PCH_TESTS ${QUOR_PCH_WIDGETS} <QTemporaryDir> <gtest/gtest.h>)
set(QUOR_PCH_CORE_TESTS ${QUOR_PCH_CORE} <QTemporaryDir> <gtest/gtest.h>)
