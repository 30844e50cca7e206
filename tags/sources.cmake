target_sources(quor_core PRIVATE
    tags/CellBlock.h
    tags/GridRow.cpp
    tags/GridRow.h
    tags/LiveColumnsModel.cpp
    tags/LiveColumnsModel.h
    tags/NameFilterModel.cpp
    tags/NameFilterModel.h
    tags/TableEdits.cpp
    tags/TableEdits.h
    tags/TagGridModel.cpp
    tags/TagGridModel.h
    tags/TagDocument.cpp
    tags/TagDocument.h
    tags/StoredRowLength.cpp
    tags/StoredRowLength.h
    tags/TagNameRules.cpp
    tags/TagNameRules.h
    tags/TagPicking.cpp
    tags/TagPicking.h
    tags/TagTableIndex.cpp
    tags/TagTableIndex.h
<<<<<<< HEAD
    tags/VariableListModel.cpp
    tags/VariableListModel.h
=======
    tags/TrendRecorder.cpp
    tags/TrendRecorder.h
>>>>>>> trend
    tags/VariableTextRules.cpp
    tags/VariableTextRules.h
    tags/VariableTreeModel.cpp
    tags/VariableTreeModel.h)
target_sources(quor_gui PRIVATE
    tags/AddVariablesDialog.cpp
    tags/AddVariablesDialog.h
    tags/GridControl.cpp
    tags/GridControl.h
    tags/LiveTagRows.cpp
    tags/LiveTagRows.h
    tags/TaggedMarkDelegate.cpp
    tags/TaggedMarkDelegate.h)
