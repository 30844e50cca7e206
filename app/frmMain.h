#pragma once

#include "app/AppState.h"
#include "engine/AsyncConnection.h"
#include "engine/Connection.h"
#include "engine/EngineApi.h"
#include "platform/Dialogs.h"
#include "storage/RecentConnections.h"
#include "tags/TagPicking.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class EngineWaitIndicator;
class GridControl;
class LiveTagRows;
class QAbstractItemView;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QUndoStack;
class TagDocument;
class TrendPanel;
class ValuePoller;

// The program's one window, a view of the run's state and of one tag document. Its member
// functions are split by what they show: composition, layout and commands, the connection
// ways and browsing, the tag table, files and settings.
class frmMain final : public QMainWindow
{
    Q_OBJECT

public:
    // `state` must outlive the window.
    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;
    Q_DISABLE_COPY_MOVE(frmMain)

    // ---- Window commands, title and unsaved-change guard (app/frmMain_commands.cpp)
    void Form_Load();
    void Form_QueryUnload(bool& cancel);
    void Form_Unload();
    // 1 = saved, go on; 2 = discarded, go on; 3 = cancelled.
    qint32 ConfirmSaveChanges();
    void FileNew();
    void UpdateTitle();
    void mnuFileItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void tbarMain_ButtonClick(int index);

    // ---- Composition (app/frmMain.cpp, app/frmMain_composition.cpp)
    void SetToolbarImages();

    // ---- Layout (app/frmMain_layout.cpp)
    void Form_Resize();
    // Fits the window's place and size into the available area of its screen.
    void fitIntoScreen();

    // ---- Controller connection (app/frmMain_connect.cpp)
    void chkConnQUOR_Click();
    void chkConnTULO_Click();
    void chkConnBRAKKA_Click();
    void optProvider_Click(int index);
    void optLyra_Click(int index);
    void EnableItemButtons(bool enabled);
    void EnableProviderFields(bool enabled);
    void EnableConnField(bool enabled);
    void EnableServerFields(bool enabled);
    void ClearBrowseLists();

    // ---- Controller and variable browsing (app/frmMain_browse.cpp)
    // Each lists through the engine thread and returns at once; `then` runs once the names are
    // in (or the browse failed or was cancelled).
    void FillControllerNames(const std::function<void()>& then = nullptr);
    void FillVariableNames(const std::function<void()>& then = nullptr);
    void cmbCtrls_Click();
    void cmbCtrl_Click();

    // ---- Tag table editing and tag name rules (app/frmMain_tags.cpp)
    void InitItemGrid();
    void cmdAddItem_Click();
    void cmdDelete_Click();
    void grdItems_EnterCell(qint32 row, qint32 col);
    void grdItems_AfterEdit();
    bool CheckTagNameDuplicate(qint32 row, qint32 col);
    bool CheckTagNameChar(const QString& text, const QString& ch);

    // ---- Picking variables (app/frmMain_picking.cpp)
    // Opens the dialog that adds many variables at once.
    void mnuEditAddVariables_Click();
    // Appends one row per variable, in the given order, as that many presses of Add with
    // `option` as the variable option would; variables that already have a tag are added
    // again only when the user says so. The tags are named as Add names them, or after their
    // variables.
    void AddVariables(const QStringList& variables, const QString& option,
                      TagNaming naming = TagNaming::Numbered);

    // ---- Series of tags in the selected rows (app/frmMain_series.cpp)
    // Renames the selected rows after a pattern with a counter.
    void mnuEditFillSeries_Click();
    // Appends copies of the selected rows, named after a pattern with a counter.
    void mnuEditDuplicateRows_Click();

    // ---- Undo history of the tag table and the Edit menu (app/frmMain_edit.cpp)
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    // Every change of the tag table is kept here, one step per command.
    QUndoStack& history() const;

    // ---- Copy, cut and paste with spreadsheets (app/frmMain_clipboard.cpp)
    // The selected cells to the clipboard as tab-separated text, rows on lines.
    void mnuEditCopy_Click();
    // The rows of the selected cells to the clipboard as whole rows, and out of the table.
    void mnuEditCut_Click();
    void mnuEditPaste_Click();
    // Pastes tab-separated text as Paste does the clipboard's.
    void PasteText(const QString& text);

    // ---- Tag setting file (app/frmMain_tagfile.cpp)
    bool WriteTagFile(const QString& strPath);
    bool ReadTagFile(const QString& strPath);
    bool ClearTagSetting();
    // True when the table was written; false when nothing was (refused, cancelled, nothing to save).
    bool FileSave(bool bSaveAs);
    void FileOpen();

    // ---- CSV export and import of the tag table (app/frmMain_csv.cpp)
    void mnuFileImportCsv_Click();
    void mnuFileExportCsv_Click();

    // ---- Application settings and recent connections (app/frmMain_settings.cpp)
    void LoadAppSettings();
    void FillRecentLists();
    void SaveAppSettings();
    void cmbServer_Click();

    // ---- Live values of the connected controller (app/frmMain_view.cpp)
    void mnuViewLiveValues_Click();
    void mnuViewOnlyFailing_Click();
    void mnuViewRefreshInterval_Click();
    void mnuViewTrend_Click();
    // Opens the dialog that writes a value to the current row's variable.
    void mnuEditWriteValue_Click();

    // ---- Tools (app/frmMain_tools.cpp)
    void mnuToolsScanModbus_Click();
    void mnuToolsChooseMap_Click();
    // Reads the live values of the grid's rows; other views may read its values too, and it
    // is paused while the engine is busy elsewhere.
    ValuePoller& livePoller() const { return *m_livePoller; }
    // The Trend panel, made at the first call.
    TrendPanel& trendPanel();
    // The live values of the connected controller; none when its engine offers none.
    const std::shared_ptr<IControllerValues>& connectedValues() const { return m_values; }

    // ---- State
    AppState& state() const { return m_state; }
    // The tag table, its file and the connection it records.
    TagDocument& document() const { return *m_document; }
    bool changed() const;
    // True: a change outside the tag table's history (a connection, an opened file) is
    // unsaved. False: everything counts as saved, as after a save.
    void setChanged(bool changed);
    const std::shared_ptr<IController>& connectedController() const { return m_connection.controller(); }
    // True while a connect or browse waits for the engine's answer; meanwhile the connection
    // groups, New and Open cannot be used, and the wait can be cancelled.
    bool waitingForEngine() const { return m_engineSteps.waiting(); }
    // Abandons the wait as its Cancel does: an attempt to connect ends disconnected, a browse
    // leaves its list as it was.
    void cancelEngineWait();
    // The engine thread of connecting and browsing. Other users of the engine on the window's
    // thread (the live values) wait while it is busy() and start again on busyChanged(false).
    const EngineCallRunner& engineCalls() const { return m_engineSteps.runner(); }
    // Shows the engine wait: the busy cursor and, after half a second, the progress window.
    EngineWaitIndicator& engineWait() const { return *m_engineWait; }

    // ---- Controls, named as designed. Control arrays are indexed as designed.
    QWidget* client = nullptr; // the client area
    QMenu* mnuFile = nullptr;
    // Table editing commands, between File and Help.
    QMenu* mnuEdit = nullptr;
    // Edit > Undo, Redo, Cut, Copy, Paste, Delete, Select All; Cut and Delete are enabled
    // while a controller is connected, as cmdDelete is.
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditDelete = nullptr;
    QAction* mnuEditSelectAll = nullptr;
    // Edit > Add Variables..., enabled while a controller is connected.
    QAction* mnuEditAddVariables = nullptr;
    // Edit > Write Value..., enabled while the current row's variable can be written.
    QAction* mnuEditWriteValue = nullptr;
    // Edit > Fill Series..., Duplicate Rows...: on the selected rows.
    QAction* mnuEditFillSeries = nullptr;
    QAction* mnuEditDuplicateRows = nullptr;
    // View: Live Values, Only Failing Tags, Refresh Interval..., after the designed menus.
    QMenu* mnuView = nullptr;
    QAction* mnuViewLiveValues = nullptr;
    QAction* mnuViewOnlyFailing = nullptr;
    QAction* mnuViewRefreshInterval = nullptr;
    QAction* mnuViewTrend = nullptr;
    QAction* mnuViewExportTrend = nullptr;
    // Tools: Scan Modbus Device..., Choose Register Map..., after View.
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsScanModbus = nullptr;
    QAction* mnuToolsChooseMap = nullptr;
    QMenu* mnuHelp = nullptr;
    std::array<QAction*, 7> mnuFileItem{};
    // The CSV items, after Save As; they are not part of the File item array.
    QAction* mnuFileImportCsv = nullptr;
    QAction* mnuFileExportCsv = nullptr;
    std::array<QAction*, 1> mnuHelpItem{};
    QToolBar* tbarMain = nullptr;
    // Toolbar buttons 1 to 3 at indexes 0 to 2.
    std::array<QAction*, 3> tbarButtons{};
    // Image 1 (open) and image 2 (save) at indexes 0 and 1.
    QList<QIcon> ilQuorTagEditor;
    QFrame* fraGeneral = nullptr;
    QFrame* fraBRAKKA = nullptr;
    QFrame* fraItem = nullptr;
    std::array<QLabel*, 10> lblMain{};
    std::array<QRadioButton*, 2> optProvider{};
    std::array<QRadioButton*, 2> optLyra{};
    QComboBox* cmbCtrl = nullptr;
    QComboBox* cmbProvs = nullptr;
    QLineEdit* txtMachine = nullptr;
    QLineEdit* txtOption = nullptr;
    QPushButton* chkConnQUOR = nullptr;
    QComboBox* cmbConn = nullptr;
    QPushButton* chkConnTULO = nullptr;
    QComboBox* cmbCtrls = nullptr;
    QComboBox* cmbServer = nullptr;
    QLineEdit* txtTimeout = nullptr;
    QPushButton* chkConnBRAKKA = nullptr;
    QComboBox* cmbVars = nullptr;
    QLineEdit* txtVarOpt = nullptr;
    QPushButton* cmdAddItem = nullptr;
    QPushButton* cmdDelete = nullptr;
    GridControl* grdItems = nullptr;
    QStatusBar* stbrMain = nullptr;
    // The status bar's count of tags.
    QLabel* lblTagCount = nullptr;
    // The pop-up list in which typing into cmbVars shows the matching names.
    QAbstractItemView* cmbVarsSearch = nullptr;

signals:
    // Every live value the poller read, changed or not, as it came.
    void liveValuesRead(const QList<VariableValue>& values);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Resizes of the client area run the layout.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SavePromptResult
    {
        Saved,
        Discarded,
        Cancelled
    };
    // Asks whether to save the changes and saves when told to.
    SavePromptResult promptToSaveChanges();
    // True when the operation that asked may go on: nothing unsaved, saved, or discarded.
    bool proceedAfterSavePrompt();

    // Connection helpers (app/frmMain_connect.cpp).
    bool guardBeforeConnecting();
    bool refusedWhileAnotherWayIsConnected(QPushButton* box);
    void chooseWayOf(QPushButton* box);
    // A Connect box pressed on: `connectWay` runs once its way may connect. The attempt goes on
    // through the engine's answers and ends with endConnecting(); the box springs back when it
    // did not end connected.
    void pressConnect(QPushButton* box, const std::function<void()>& connectWay);
    // Runs a step of the attempt: a failure in it is told as a failed connection and ends it.
    void connectStep(const std::function<void()>& step);
    // `step` as a callback that runs it with connectStep().
    std::function<void()> nextConnectStep(std::function<void()> step);
    void endConnecting(bool connected);
    // A box turned off while its attempt waits: the wait is abandoned.
    void stopConnecting(QPushButton* box);
    // Connects the way; `connected` runs once it is, a failure is told and ends the attempt.
    void connectTo(const ConnectionRequest& request, std::function<void()> connected);
    // Puts the connection made into the recent list and runs `remembered`; a failure is told and
    // ends the attempt.
    void rememberConnection(std::function<void()> remembered);
    void updateOtherWays();
    void finishDisconnect(QPushButton* box);

    // Engine waits (app/frmMain_enginewait.cpp).
    void createEngineWait();
    // The next engine step is awaited: `text` names the wait; `cancelled` runs when the user
    // abandons it.
    void expectEngineAnswer(const QString& text, std::function<void()> cancelled);
    void engineWaitChanged(bool waiting);
    // Locks what would start another engine call or change the connection's fields.
    void lockEngineCommands(bool locked);

    // Browsing helpers (app/frmMain_browse.cpp): lists `request` into `combo`; a failure is
    // told with `message`; `cancelled` runs instead when the user abandons the browse.
    void browseInto(QComboBox* combo, const QString& message, const QString& waitText,
                    const BrowseRequest& request, const std::function<void()>& then,
                    const std::function<void()>& cancelled);
    // FillVariableNames, with `cancelled` run when the user abandons it.
    void listVariables(const std::function<void()>& then, const std::function<void()>& cancelled);
    // Appends the names a browse listed to `combo`, tells its failure with `message`, then
    // removes the extension the browse added.
    void showNames(QComboBox* combo, const QString& message, const NameListing& listing);

    // Tag table helpers (app/frmMain_tags.cpp).
    // Applies the name rules to the edited tag name, warning at the first that fails.
    bool tagNameStands();
    // Deletes the selected data rows (two or more) after one question.
    void deleteSelectedRows(const std::vector<qint32>& rows);

    // History helpers (app/frmMain_edit.cpp).
    void createEditItems();
    void connectEditItems();
    // Edit > Fill Series... and Duplicate Rows..., made and connected.
    void createSeriesItems();
    void openSeriesDialog(bool fill);
    // Shows the warning of a table operation the document refused; false when it was refused.
    bool doneByDocument(const std::optional<QString>& refusal);
    // The remembered cell text after the history moved.
    void followHistory();

    // Picking helpers (app/frmMain_picking.cpp).
    void createVariablePicker();
    // Enter in the search pop-up of cmbVars adds the name as typed or chosen there; a press
    // outside the pop-up closes it and reaches the control it was on. True when handled.
    bool searchPopupEvent(QEvent* event);
    bool replayPressOutsideSearch(const QMouseEvent& press);
    // After `count` rows were added: the last one is shown and entered, the status bar tells,
    // and cmbVars takes the focus with its text selected for the next name.
    void afterAdding(qsizetype count);
    void showTagCount();

    // Tag setting file helpers (app/frmMain_tagfile.cpp).
    enum class TagFileWrite
    {
        Written,
        NothingToSave,
        Refused, // a warning said what the file cannot hold; the file is untouched
        Failed
    };
    // The reason receives why a write failed, a read failed (with the file's name).
    TagFileWrite writeTagFile(const QString& strPath, QString& reason);
    bool readTagFile(const QString& strPath, QString& reason);
    // The File > Open reading of a chosen file, with its messages.
    void openTagFile(const QString& path);
    // A file dialog that starts in the folder of the user's files; the chosen path, or "".
    QString chooseFile(FileDialogRequest request);

    // CSV helpers (app/frmMain_csv.cpp).
    void createCsvMenuItems();

    // Live value helpers (app/frmMain_view.cpp).
    void createViewMenu();
    void createToolsMenu();
    // The status bar says what the machine and option fields take for a Modbus provider.
    void showProviderHint();
    void createLiveValues();
    void createTrend();
    // The trend follows the selected tags, as many as a chart can show.
    void followTrendTags();
    // Gives the lower part of the table's place to the Trend panel while it is shown.
    void placeTrendUnderTable();
    // The view as the settings file remembers it.
    void applyViewSettings();
    // Takes the values of the controller now connected, or none.
    void followConnection();
    void releaseLiveValues();
    // Enables Write Value for the current row's variable, asking the engine about it first.
    void updateWriteValueItem();
    QString currentVariable() const;

    // Settings helpers (app/frmMain_settings.cpp): the window's outer place and size
    // in twips, as the settings file keeps them.
    int outerTop() const;
    int outerLeft() const;
    int outerWidth() const;
    int outerHeight() const;
    void setOuterTop(int twips);
    void setOuterLeft(int twips);
    void setOuterWidth(int twips);
    void setOuterHeight(int twips);
    void applyPlace(const WindowPlace& place);

    // Composition helpers (app/frmMain_composition.cpp).
    void createMenus();
    void createToolbar();
    void createGeneralFrame();
    void createBrakkaFrame();
    void createItemFrame();
    void createGrid();
    void createStatusBar();
    void setTabOrder();
    void fitCaptions();
    void connectEvents();

    AppState& m_state;
    TagDocument* m_document = nullptr;
    // The connected controller of the way in use, and the browsing of it.
    Connection m_connection;
    // Its steps that ask the engine, run on the engine thread.
    AsyncConnection m_engineSteps{m_connection};
    EngineWaitIndicator* m_engineWait = nullptr;
    // What the wait is called and what its Cancel does.
    QString m_engineWaitText;
    std::function<void()> m_engineWaitCancelled;
    // The control that had the focus when the wait locked the controls.
    QPointer<QWidget> m_focusBeforeWait;
    // The Connect box of the attempt in progress; none between attempts.
    QPushButton* m_connectingBox = nullptr;
    // The cmbCtrls entry whose items cmbVars lists (-1: none chosen).
    int m_listedCtrlsIndex = -1;
    // BRAKKA model: 0 = Lyra7, 1 = Lyra8.
    qint32 m_lCtrlModel = 0;
    // The last cell the grid reported as entered, and its text at that moment.
    qint32 m_lCurRow = 0;
    qint32 m_lCurCol = 0;
    QString m_strCurText;
    // The remembered connection each entry of cmbCtrl and cmbServer was made from.
    QList<CtrlParameterPtr> m_cmbCtrlRecords;
    QList<CtrlParameterPtr> m_cmbServerRecords;
    // The live values: the poller, the grid rows it reads, the values of the connected
    // controller and what the engine told about its variables.
    ValuePoller* m_livePoller = nullptr;
    TrendPanel* m_trend = nullptr;
    LiveTagRows* m_liveRows = nullptr;
    std::shared_ptr<IControllerValues> m_values;
    // How Add Variables... named the tags the last time in this run.
    TagNaming m_addNaming = TagNaming::Numbered;
    std::weak_ptr<IController> m_valuesController;
    QHash<QString, VariableDescription> m_descriptions;
    QSet<QString> m_describing;
};
