#pragma once
// Forward declarations of the host interfaces, for headers that only pass them around.

namespace host {

class Cinterface;
class Global;
class MessageCenter;
class LookupCatalog;
class Navigator;
class LayoutModel;
class ScriptModel;
class ExportToOffice;
class LogService;
class EditorUtility;
class ConnectionProvider;
class RecordsetFactory;
class ClassFactory;
class Dialogs;
class LedgerChartDecoder;
class LedgerChartFinder;
class ReclChartDecoder;
class ReclChartFinder;
class IntercompanyDecoder;
class ReclProgramLauncher;
class LedgerProgramLauncher;
class IntercompanyProgram;
class ProgramPresenter;
class CorrelationReport;

}  // namespace host
