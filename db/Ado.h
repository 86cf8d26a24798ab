#pragma once
// ADO constants the module and the controls use, with ADO's own values.

namespace db::ado {

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };
enum CursorType { adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum CommandType { adCmdUnspecified = -1, adCmdText = 1, adCmdTable = 2, adCmdStoredProc = 4, adCmdUnknown = 8 };
enum ExecuteOption { adExecuteNoRecords = 128 };
enum SearchDirection { adSearchBackward = -1, adSearchForward = 1 };
enum PositionEnum { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };
enum FieldAttribute { adFldUnspecified = -1, adFldMayDefer = 2, adFldUpdatable = 4, adFldIsNullable = 32, adFldMayBeNull = 64 };
enum DataType {
    adEmpty = 0, adSmallInt = 2, adInteger = 3, adDouble = 5, adCurrency = 6, adDate = 7,
    adBoolean = 11, adVariant = 12, adDecimal = 14, adTinyInt = 16, adUnsignedTinyInt = 17,
    adBigInt = 20, adNumeric = 131, adVarChar = 200, adLongVarChar = 201, adVarWChar = 202,
    adLongVarWChar = 203, adWChar = 130, adChar = 129
};

}  // namespace db::ado
