-- The message texts of the messages database (JXMSG.MDB), Traditional Chinese.
-- "%%1", "%%2" and "%%3" in a text are filled in by the caller.

INSERT INTO Msg (MsgID, MsgText) VALUES ('Connect_JXMENU_Fail', '無法連線到主選單資料庫!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('ErrorNoUserRec', '主選單資料庫中找不到您的使用者資料!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('ErrorNoRunRight', '您所屬的群組沒有執行本程式的權限!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('ProgStopRun', '程式停止執行!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('NODATA', '查無資料!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('CanNotEditThisCol', '此欄位不可修改!');
INSERT INTO Msg (MsgID, MsgText) VALUES ('ErrorInputData', '輸入的資料有誤, 請重新輸入!');
