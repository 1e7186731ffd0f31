#include "remotepage.h"

#include "linesink.h"

#include <QStringList>

namespace codegen {

namespace {

// The page is held in the case in which it is written before the sink lower-cases it.
// «site» marks every place where a location begins with the site base URL.
//
// How the page works between visits: every visit runs one state and selects at most one
// action block; navigations are written as one client line (the first one named in a
// visit wins, so a reader's trailing "#begin" never hides the block it selected). The
// working values live in the ASP session so that they survive from visit to visit.
//
// The VoiceXML service (RemoteVxml.asp) is the same page with another head, navigation
// and action blocks: the state routine and every routine it calls are shared text, so the
// two pages cannot come apart. Its visits answer with a small VoiceXML document that
// submits back to the page.

// The ASP directive has to be the first command of a page, so it comes before the
// prologue that opens the log and the database.
constexpr char16_t kPrologue[] = uR"vbs(<%@ LANGUAGE = VBScript %>
<%
Dim fso, f1, f2, f3, s, g, playfile, recordfile, getdigits
Dim MyConn, SQL, RS, h
Dim hangup, navigated
Set fso = CreateObject("Scripting.FileSystemObject")
Set g = fso.OpenTextFile("D:\Inetpub\wwwroot\voices\remotelog.txt", 8, True)
'writelog "New call received at " & time
Set MyConn=Server.CreateObject("ADODB.Connection")
MyConn.Open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\Inetpub\wwwroot\voices\calltree.mdb"
%>
)vbs";

constexpr char16_t kWteHead[] = uR"vbs(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">
<HTML>
<HEAD>
<TITLE>Remote Processing</TITLE>
<META content="text/html; charset=iso-8859-1" http-equiv=Content-Type>
<STYLE media="aural, print" type=text/css>#OnlyWeb
{ DISPLAY: none }
</STYLE>
<STYLE media="screen, print" type=text/css>#OnlyPhone
{ DISPLAY: none }
</STYLE>
<META content="MSHTML 5.00.2920.0" name=GENERATOR>
<SCRIPT language=vbscript>
<!--
If IsMSWTE Then
window.external.Session("msgSaved") = "false"
End If
-->
</SCRIPT>
</HEAD>
<BODY bgColor=#ffffff>
<CENTER>
<A name=begin></A>
)vbs";

// The state routine. Caller entries reach SQL only through fNumber, which accepts
// nothing but a number a 16-bit member column can hold.
constexpr char16_t kStateRoutine[] = uR"vbs(<%
' Replace every occurrence of «site» in this page with the name of your own site.
call fdoremote

Public Function fDoRemote()
    Dim digits, mailboxno, mailbox, counter, temp1s, temp2s, currents, ix, nextstate
    Dim profiles, msgfolder, stem, recording, pattern, found, n, names, i
    mailboxno = session("data1")
    mailbox = session("data1")
    digits = session("data2")
    session("msgSaved") = "false"
    profiles = "«site»/mboxes/" & mailboxno & "/transfer.ini"
    If session("data0") = "" Then session("data0") = "MB1"
    counter = session("counter")
    If IsEmpty(counter) Then counter = 0
    temp1s = session("temp1s")
    temp2s = session("temp2s")
    currents = session("currents")
    msgfolder = "«site»/mboxes/" & mailboxno & "/msg/"
    stem = Left(temp2s, 9)
    recording = msgfolder & stem & "wav"
    If temp1s = "Old" Then
        pattern = "*.i__"
    Else
        pattern = "*.in*"
    End If

    Select Case session("data0")
    Case "MB1"
        vcfPlayFile "MB2", "System", "entermb.wav"
    Case "MB2"
        vcfGetDigits "MB3", 9, 3
    Case "MB3"
        digits = fNumber(fStrip(digits))
        found = False
        If digits <> "" Then
            SQL = "Select mailbox From members where mailbox =" & digits
            Set RS = MyConn.Execute(SQL)
            found = Not RS.EOF
            RS.Close
        End If
        If found Then
            session("data1") = digits
            mailboxno = digits
            mailbox = digits
            profiles = "«site»/mboxes/" & mailboxno & "/transfer.ini"
            Jump "PW1"
        Else
            'writelog "invalid mailbox received, invalid input"
            vcfPlayFile "MB1", "System", "invalid.wav"
        End If
    Case "PW1"
        vcfPlayFile "PW2", "System", "enterpw.wav"
    Case "PW2"
        vcfGetDigits "PW3", 15, 3
    Case "PW3"
        digits = fNumber(fStrip(digits))
        mailboxno = fNumber(mailboxno)
        found = False
        If mailboxno <> "" And digits <> "" Then
            SQL = "Select password, attempts From members where mailbox =" & mailboxno
            SQL = SQL & " and password =" & digits
            Set RS = MyConn.Execute(SQL)
            If Not RS.EOF Then
                found = True
                n = RS("attempts")
            End If
            RS.Close
        End If
        If mailboxno = "" Then
            Jump "MB1"
        ElseIf found Then
            ' a locked mailbox stays locked, whatever password is entered
            If IsNull(n) Then n = 0
            If n >= 3 Then
                Jump "EXIT"
            Else
                Jump "PLAY_#OF_NEW_MSG1"
            End If
        Else
            'writelog "invalid password received"
            n = fAttempts(mailboxno)
            ' the 16-bit column holds no more: a locked mailbox's count stops at 32767
            If n >= 0 And n < 32767 Then
                n = n + 1
                MyConn.Execute "Update members set attempts =" & n & " where mailbox =" & mailboxno
            End If
            If n >= 3 Then
                vcfPlayFile "EXIT", "System", "invalid.wav"
            Else
                vcfPlayFile "MB1", "System", "invalid.wav"
            End If
        End If
    Case "PLAY_#OF_NEW_MSG1"
        fMakeFolders mailboxno
        counter = 0
        names = fListMsgs(msgfolder, "*.i*")
        If names <> "" Then
            names = Split(names, "|")
            For i = 0 To UBound(names)
                If Right(names(i), 1) <> "_" Then
                    counter = counter + 1
                ElseIf Right(names(i), 2) <> "__" Then
                    fRenameInfo msgfolder, names(i), Left(names(i), 9) & "i__"
                End If
            Next
        End If
        If counter = 0 Then
            vcfPlayFile "MENU0", "System", "nonewmsg.wav"
        Else
            vcfPlayFile "PLAY_#OF_NEW_MSG2", "System", "youhave.wav"
        End If
    Case "PLAY_#OF_NEW_MSG2"
        ssfPlayNumber "PLAY_#OF_NEW_MSG3", counter
    Case "PLAY_#OF_NEW_MSG3"
        If counter = 1 Then
            vcfPlayFile "MENU0", "System", "newmsg.wav"
        Else
            vcfPlayFile "MENU0", "System", "newmsgs.wav"
        End If
    Case "MENU0"
        counter = 0
        vcfFlushDigits "MENU1"
    Case "MENU1"
        vcfPlayFile "MENU2", "System", "remmenu.wav"
    Case "MENU2"
        vcfGetDigits "MENU3", 1, 3
    Case "MENU3"
        Select Case digits
        Case "1"
            temp1s = "New"
            Jump "PLAY_MESSAGE_INSTRUCTIONS"
        Case "2"
            temp1s = "Old"
            Jump "PLAY_MESSAGE_INSTRUCTIONS"
        Case "3"
            vcfPlayFile "MENU0", "msg2", "«site»/mboxes/" & mailboxno & "/Personal.wav"
        Case "4"
            vcfPlayFile "RecordPersonal", "System", "recpersn.wav"
        Case "5"
            Jump "SUBMENU0"
        Case "#"
            Jump "EXIT"
        Case "*"
            Jump "MB1"
        Case Else
            counter = counter + 1
            If counter = 3 Then
                vcfPlayFile "EXIT", "System", "invalid.wav"
            Else
                vcfPlayFile "MENU1", "System", "invalid.wav"
            End If
        End Select
    Case "RecordPersonal"
        vcfRecord "MENU0", "msg2", "«site»/mboxes/" & mailboxno & "/personal.wav", Empty
    Case "SUBMENU0"
        counter = 0
        vcfFlushDigits "SUBMENU1"
    Case "SUBMENU1"
        vcfPlayFile "SUBMENU2", "System", "remsubmn.wav"
    Case "SUBMENU2"
        vcfGetDigits "SUBMENU3", 1, 3
    Case "SUBMENU3"
        Select Case digits
        Case "1"
            vcfPlayFile "MENU0", "msg", "«site»/mboxes/" & mailboxno & "/Prompt.wav"
        Case "2"
            vcfPlayFile "RecordName", "System", "recprmt.wav"
        Case "5"
            vcfPlayFile "NEWPW0", "System", "enternpw.wav"
        Case "6"
            counter = 0
            Jump "NEWPGR0"
        Case "7"
            counter = 0
            Jump "NEWMNN0"
        Case "#"
            Jump "MENU0"
        Case Else
            counter = counter + 1
            If counter = 2 Then
                vcfPlayFile "MENU0", "System", "invalid.wav"
            Else
                vcfPlayFile "SUBMENU1", "System", "invalid.wav"
            End If
        End Select
    Case "RecordName"
        vcfRecord "MENU0", "msg", "«site»/mboxes/" & mailboxno & "/prompt.wav", 30
    Case "NEWPW0"
        vcfGetDigits "NEWPW1", 15, 3
    Case "NEWPW1"
        digits = fNumber(fStrip(digits))
        If digits = "" Then
            vcfPlayFile "MENU0", "System", "invalid.wav"
        Else
            temp1s = digits
            vcfPlayFile "NEWPW2", "System", "entrnpwa.wav"
        End If
    Case "NEWPW2"
        vcfGetDigits "NEWPW3", 15, 3
    Case "NEWPW3"
        digits = fNumber(fStrip(digits))
        mailboxno = fNumber(mailboxno)
        found = False
        If digits <> "" And digits = temp1s And mailboxno <> "" Then
            SQL = "Select * From members where mailbox =" & mailboxno
            Set RS = MyConn.Execute(SQL)
            found = Not RS.EOF
            RS.Close
        End If
        temp1s = ""
        If found Then
            SQL = "Update members set password =" & digits & " where mailbox =" & mailboxno
            MyConn.Execute SQL
            vcfPlayFile "MENU0", "System", "pwsaved.wav"
        Else
            vcfPlayFile "MENU0", "System", "invalid.wav"
        End If
    Case "PLAY_MESSAGE_INSTRUCTIONS"
        If temp1s = "Old" Then
            vcfPlayFile "PLAY_#OF_OLD_MSG1", "System", "pbinstru.wav"
        Else
            vcfPlayFile "GET_INSTRUCT_DIGITS", "System", "pbinstru.wav"
        End If
    Case "PLAY_#OF_OLD_MSG1"
        counter = fCountMsgs(msgfolder, "*.i__")
        If counter = 0 Then
            vcfPlayFile "MENU0", "System", "nomsg.wav"
        Else
            vcfPlayFile "PLAY_#OF_OLD_MSG2", "System", "youhave.wav"
        End If
    Case "PLAY_#OF_OLD_MSG2"
        ssfPlayNumber "PLAY_#OF_OLD_MSG3", counter
    Case "PLAY_#OF_OLD_MSG3"
        If counter = 1 Then
            vcfPlayFile "GET_INSTRUCT_DIGITS", "System", "message.wav"
        Else
            vcfPlayFile "GET_INSTRUCT_DIGITS", "System", "messages.wav"
        End If
    Case "GET_INSTRUCT_DIGITS"
        vcfGetDigits "PROCESS_INSTRUCT_DIGITS", 1, 0
    Case "PROCESS_INSTRUCT_DIGITS"
        If digits = "*" Then
            vcfPlayFile "FIND_FIRST_MSG", "System", "pbmenu.wav"
        Else
            Jump "FIND_FIRST_MSG"
        End If
    Case "FIND_FIRST_MSG"
        temp2s = fFindMsg(msgfolder, pattern, "", "", True)
        If temp2s <> "" Then
            counter = 1
            Jump "PLAY_MSG_COUNT1"
        Else
            vcfPlayFile "MENU0", "System", "nomsg.wav"
        End If
    Case "PLAY_MSG_COUNT1"
        vcfPlayFile "PLAY_MSG_COUNT2", "System", "message.wav"
    Case "PLAY_MSG_COUNT2"
        ssfPlayNumber "PLAY_DATE1", counter
    Case "PLAY_DATE1"
        ix = fAge(temp2s)
        If ix = 0 Then
            vcfPlayFile "PLAY_MSG", "System", "today.wav"
        ElseIf ix = 1 Then
            vcfPlayFile "PLAY_MSG", "System", "yestrday.wav"
        Else
            vcfPlayFile "PLAY_DATE2", "System", "received.wav"
        End If
    Case "PLAY_DATE2"
        ix = fAge(temp2s)
        ssfPlayNumber "PLAY_DATE3", ix
    Case "PLAY_DATE3"
        vcfPlayFile "PLAY_MSG", "System", "daysago.wav"
    Case "PLAY_MSG"
        If Right(temp2s, 1) <> "_" Then
            fRenameInfo msgfolder, temp2s, stem & "in_"
            temp2s = stem & "in_"
        End If
        If isfiles(recording) Then
            vcfPlayFile "GET_MSG_DIGITS", "msg2", recording
        Else
            Jump "PLAY_TIME0"
        End If
    Case "GET_MSG_DIGITS"
        vcfGetDigits "PROCESS_MSG_DIGITS", 1, 0
    Case "PROCESS_MSG_DIGITS"
        Select Case digits
        Case "1"
            vcfPlayForward "GET_MSG_DIGITS", "msg2", recording, -65536
        Case "3"
            vcfPlayForward "GET_MSG_DIGITS", "msg2", recording, 65536
        Case "4"
            Jump "FIND_PREV_MSG"
        Case "6"
            Jump "FIND_NEXT_MSG"
        Case "7"
            If Not isfiles(recording) Then
                Jump "FIND_NEXT_MSG"
            ElseIf fDeleteMsg(msgfolder, stem) Then
                'writelog "message deleted"
                counter = counter - 1
                vcfPlayFile "FIND_NEXT_MSG", "System", "msgdel.wav"
            Else
                vcfPlayFile "FIND_NEXT_MSG", "System", "inuse.wav"
            End If
        Case "8"
            Jump "PLAY_TIME0"
        Case "9"
            Jump "SEND_MSG0"
        Case "*"
            vcfPlayFile "GET_MSG_DIGITS", "System", "pbmenu.wav"
        Case "#"
            Jump "MENU0"
        Case Else
            Jump "FIND_NEXT_MSG"
        End Select
    Case "SEND_MSG0"
        vcfPlayFile "SEND_MSG1", "System", "entrsnmb.wav"
    Case "SEND_MSG1"
        vcfGetDigits "SEND_MSG2", 9, 3
    Case "SEND_MSG2"
        digits = fNumber(fStrip(digits))
        found = False
        If digits <> "" Then
            SQL = "Select mailbox From members where mailbox =" & digits
            Set RS = MyConn.Execute(SQL)
            found = Not RS.EOF
            RS.Close
        End If
        If found Then
            'writelog "message sent"
            fForwardMsg msgfolder, temp2s, digits
            vcfPlayFile "SEND_MSG3", "System", "msgsent.wav"
        Else
            'writelog "invalid input"
            vcfPlayFile "SEND_MSG3", "System", "invalid.wav"
        End If
    Case "SEND_MSG3"
        vcfPlayFile "GET_MSG_DIGITS", "msg2", recording
    Case "PLAY_TIME0"
        vcfPlayFile "PLAY_TIME1", "System", "timemsg.wav"
    Case "PLAY_TIME1"
        ssfPlayTime "FIND_NEXT_MSG", Mid(temp2s, 5, 4)
    Case "FIND_NEXT_MSG"
        currents = temp2s
        temp2s = fFindMsg(msgfolder, pattern, "", Left(currents, 8), True)
        If temp2s <> "" Then
            counter = counter + 1
            Jump "PLAY_MSG_COUNT1"
        Else
            temp2s = currents
            vcfPlayFile "GET_NO_MORE_MSG_DIGITS", "System", "nomsg.wav"
        End If
    Case "GET_NO_MORE_MSG_DIGITS"
        vcfGetDigits "PROCESS_NO_MORE_MSG_DIGITS", 1, 2
    Case "PROCESS_NO_MORE_MSG_DIGITS"
        If digits = "4" Then
            Jump "PLAY_MSG_COUNT1"
        Else
            Jump "MENU0"
        End If
    Case "FIND_PREV_MSG"
        currents = temp2s
        temp2s = "99999999.INF"
        temp2s = fFindMsg(msgfolder, pattern, Left(currents, 8), temp2s, False)
        If temp2s <> "" Then
            counter = counter - 1
            Jump "PLAY_MSG_COUNT1"
        Else
            temp2s = "99999999.INF"
            vcfPlayFile "MENU0", "System", "nomsg.wav"
        End If
    Case "EXIT"
        vcfHangup
    Case Else
        vcfHangup
    End Select

    session("counter") = counter
    session("temp1s") = temp1s
    session("temp2s") = temp2s
    session("currents") = currents
End Function
)vbs";

// The routines of the page in their fixed order, then the two the state routine needs
// beyond them; after the navigation, the small helpers they share.
constexpr char16_t kRoutines[] = uR"vbs(
Public Function fPlayPrompt()
    Select Case session("data0")
    Case "0"
        If isfiles("«site»/mboxes/" & session("data1") & "/Prompt.wav") Then
            vcfPlayFile "10", "Prompt", "Prompt.wav"
        Else
            Jump "10"
        End If
    Case "10"
        vcfGoto session("data1")
    End Select
    fNavigate "#begin"
End Function

Function GetRecFileNames(mailbox)
    Dim folder, i, stem
    fMakeFolders mailbox
    folder = "«site»/mboxes/" & mailbox & "/msg/"
    i = 0
    Do
        stem = folder & fStamp(DateAdd("n", i, Now)) & "."
        i = i + 1
    Loop While fStemUsed(stem)
    GetRecFileNames = stem & "wav"
End Function

Sub ssfPlayNumber(nextstate, n)
    ssfNumberStep nextstate, n, ""
End Sub

Sub ssfPlayCurrency(nextstate, n, c)
    Select Case session("subdata0") & ""
    Case "DOLLARS"
        If n = 0 Then
            ssfSkip "10CENTS"
        ElseIf n = 1 Then
            ssfSay "dollar.wav", "10CENTS"
        Else
            ssfSay "dollars.wav", "10CENTS"
        End If
    Case "10CENTS"
        If c Mod 100 >= 20 Then
            Call ssfSay((c Mod 100) \ 10 & "0.wav", "1CENTS")
        Else
            ssfSkip "1CENTS"
        End If
    Case "1CENTS"
        ssfUnits c Mod 100, "CENTS"
    Case "CENTS"
        If c = 0 Then
            ssfDone nextstate
        ElseIf c = 1 Then
            ssfSayLast nextstate, "cent.wav"
        Else
            ssfSayLast nextstate, "cents.wav"
        End If
    Case Else
        ssfNumberStep nextstate, n, "DOLLARS"
    End Select
    fNavigate "#begin"
End Sub

Sub ssfPlayTime(nextstate, MsgTimes)
    Dim hh, nn
    hh = Left(MsgTimes, 2)
    nn = Mid(MsgTimes, 3, 2)
    Select Case session("subdata0") & ""
    Case "", "HOUR"
        If hh = "00" Then
            ssfSay "12.wav", "MINUTE"
        ElseIf hh <= "12" Then
            ssfSay CLng(hh) & ".wav", "MINUTE"
        Else
            ssfSay CLng(hh) - 12 & ".wav", "MINUTE"
        End If
    Case "MINUTE"
        If nn >= "20" Then
            If Right(nn, 1) = "0" Then
                ssfSay Left(nn, 1) & "0.wav", "AMPM"
            Else
                ssfSay Left(nn, 1) & "0.wav", "MINUTE1"
            End If
        ElseIf nn >= "10" Then
            ssfSay nn & ".wav", "AMPM"
        ElseIf nn = "00" Then
            ssfSkip "AMPM"
        Else
            ssfSay "o.wav", "MINUTE1"
        End If
    Case "MINUTE1"
        ssfSay Right(nn, 1) & ".wav", "AMPM"
    Case Else
        If hh < "12" Then
            ssfSayLast nextstate, "am.wav"
        Else
            ssfSayLast nextstate, "pm.wav"
        End If
    End Select
    fNavigate "#begin"
End Sub

Sub ssfPlayDate(nextstate, sDates)
    Dim mm, dd
    mm = Left(sDates, 2)
    dd = Mid(sDates, 3, 2)
    Select Case session("subdata0") & ""
    Case "", "Month"
        ssfSay "month" & mm & ".wav", "Day"
    Case "Day"
        If dd >= "20" Then
            If Right(dd, 1) = "0" Then
                ssfSayLast nextstate, Left(dd, 1) & "0.wav"
            Else
                ssfSay Left(dd, 1) & "0.wav", "Day1"
            End If
        ElseIf dd >= "10" Then
            ssfSayLast nextstate, dd & ".wav"
        Else
            ssfSkip "Day1"
        End If
    Case Else
        ssfSayLast nextstate, Mid(sDates, 4, 1) & ".wav"
    End Select
    fNavigate "#begin"
End Sub

Sub ssfPlayString(nextstate, ss)
    Dim pos
    pos = session("subdata0") & ""
    If pos = "" Then
        pos = 1
    Else
        pos = CLng(pos)
    End If
    If Len(ss) = 0 Then
        ssfDone nextstate
    ElseIf pos < Len(ss) Then
        session("subdata0") = CStr(pos + 1)
        vcfPlayFile session("data0"), "System", Mid(ss, pos, 1) & ".wav"
    Else
        ssfSayLast nextstate, Mid(ss, pos, 1) & ".wav"
    End If
End Sub

Sub writelog(textfile)
    g.WriteLine Now & "   " & textfile
    playtext = textfile
End Sub

Sub vcfContinue(nextstate)
    Jump nextstate
End Sub

Sub vcfPlayFile(nextstate, wheres, files)
    Select Case wheres
    Case "System"
        session("data2") = "«site»/waves/" & files
    Case "Prompt"
        session("data2") = "«site»/mboxes/" & session("data1") & "/" & files
    Case "Current"
        session("data2") = "«site»/mboxes/" & session("data1") & "/msg/" & files
    Case Else
        session("data2") = files
    End Select
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    session("data0") = nextstate
    fSelectBlock "playfile"
    fNavigate "#playfile"
End Sub

Sub vcfRecord(nextstate, wheres, files, maxtime)
    On Error Resume Next
    Select Case wheres
    Case "System"
        session("data2") = "«site»/mboxes/waves/" & files
    Case "Current"
        session("data2") = "«site»/mboxes/" & session("data1") & "/msg/" & files
    Case Else
        session("data2") = files
    End Select
    session("data0") = nextstate
    fSelectBlock "recordfile"
    fNavigate "#recordfile"
End Sub

Sub Jump(nextstate)
    session("data0") = nextstate
    fNavigate "#begin"
End Sub

Sub vcfGoto(mailbox)
    session("data1") = "mailbox"
    session("data2") = mailbox
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    fNavigate "#begin"
End Sub

Sub vcfHangup()
    session("data1") = "Hangup"
    session("data2") = ""
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    g.Close
    fSelectBlock "hangup"
    fNavigate "#Hangup"
End Sub

Function isfiles(filenames)
    Dim p, folder, pattern, f
    isfiles = False
    p = InStrRev(Replace(filenames, "\", "/"), "/")
    folder = Left(filenames, p)
    pattern = Mid(filenames, p + 1)
    If InStr(pattern, "*") = 0 And InStr(pattern, "?") = 0 Then
        isfiles = fso.FileExists(filenames)
    ElseIf fso.FolderExists(folder) Then
        For Each f In fso.GetFolder(folder).Files
            If fLike(f.Name, pattern) Then isfiles = True
        Next
    End If
End Function

Sub vcfGetDigits(nextstate, Maxdigits, DigitsTimeouts)
    session("data0") = nextstate
    session("maxdigits") = Maxdigits
    session("timeout") = DigitsTimeouts
    ' a time-out leaves the entry empty instead of the last played location
    session("data2") = ""
    fSelectBlock "getdigits"
    fNavigate "#getdigits"
End Sub

Sub vcfFlushDigits(nextstate)
    ' digits typed ahead during the last prompt are not an answer to the next one
    session("data2") = ""
    Jump nextstate
End Sub

Sub vcfPlayForward(nextstate, wheres, files, offset)
    ' data3 carries the start position in the recording to the play action; it moves
    ' by offset from where the last play of this recording started
    Dim pos, size
    pos = session("data3")
    If Not IsNumeric(pos) Or IsEmpty(pos) Then pos = 0
    pos = CLng(pos) + offset
    vcfPlayFile nextstate, wheres, files
    size = fFileSize(session("data2"))
    If pos > size Then pos = size
    If pos < 0 Then pos = 0
    session("data3") = pos
End Sub

)vbs";

// The WTE page's own: how it tells the engine where a moved play starts, and how it moves
// on (the first navigation named in a visit, as a client line).
constexpr char16_t kWteNavigate[] = uR"vbs(Sub fWriteStartPosition()
    ' the play action tells the engine where in the recording a moved play starts
    Dim pos
    pos = session("data3")
    If IsNumeric(pos) And Not IsEmpty(pos) Then
        If CLng(pos) > 0 Then response.write " STARTPOSITION=""" & CLng(pos) & """"
    End If
End Sub

Sub fNavigate(anchor)
    If Not navigated Then
        navigated = True
        response.write "<SCRIPT language=vbscript>window.navigate(""" & anchor & """)</SCRIPT>"
    End If
End Sub

)vbs";

constexpr char16_t kHelpers[] = uR"vbs(Sub fSelectBlock(name)
    playfile = (name = "playfile")
    recordfile = (name = "recordfile")
    getdigits = (name = "getdigits")
    hangup = (name = "hangup")
End Sub

Sub ssfNumberStep(nextstate, n, lastpos)
    Dim pos
    pos = session("subdata0") & ""
    If pos = "" Then
        If n >= 1000000000 Or n < 0 Then
            pos = "END"
        ElseIf n >= 1000000 Then
            pos = "100,000,000"
        ElseIf n >= 1000 Then
            pos = "100,000"
        Else
            pos = "100"
        End If
    End If
    Select Case pos
    Case "100,000,000"
        If n >= 100000000 Then
            ssfSay n \ 100000000 & ".wav", "100MILLION"
        Else
            ssfSkip "10,000,000"
        End If
    Case "100MILLION"
        ssfSay "hundred.wav", "10,000,000"
    Case "10,000,000"
        If n Mod 100000000 >= 20000000 Then
            Call ssfSay((n Mod 100000000) \ 10000000 & "0.wav", "1,000,000")
        Else
            ssfSkip "1,000,000"
        End If
    Case "1,000,000"
        Call ssfUnits((n \ 1000000) Mod 100, "MILLION")
    Case "MILLION"
        ssfSay "million.wav", "100,000"
    Case "100,000"
        If n Mod 1000000 >= 100000 Then
            Call ssfSay((n Mod 1000000) \ 100000 & ".wav", "100THOUSAND")
        Else
            ssfSkip "10,000"
        End If
    Case "100THOUSAND"
        ssfSay "hundred.wav", "10,000"
    Case "10,000"
        If n Mod 100000 >= 20000 Then
            Call ssfSay((n Mod 100000) \ 10000 & "0.wav", "1,000")
        Else
            ssfSkip "1,000"
        End If
    Case "1,000"
        Call ssfUnits((n \ 1000) Mod 100, "THOUSAND")
    Case "THOUSAND"
        ssfSay "thousand.wav", "100"
    Case "100"
        If n Mod 1000 >= 100 Then
            Call ssfSay((n Mod 1000) \ 100 & ".wav", "100HUNDRED")
        Else
            ssfSkip "10"
        End If
    Case "100HUNDRED"
        ssfSay "hundred.wav", "10"
    Case "10"
        If n Mod 100 >= 20 Then
            Call ssfSay((n Mod 100) \ 10 & "0.wav", "1")
        Else
            ssfSkip "1"
        End If
    Case "1"
        If lastpos <> "" Then
            ssfUnits n Mod 100, lastpos
        ElseIf fUnits(n Mod 100) <> 0 Then
            ssfSayLast nextstate, fUnits(n Mod 100) & ".wav"
        Else
            ssfDone nextstate
        End If
    Case Else
        If lastpos <> "" Then
            ssfSkip lastpos
        Else
            ssfDone nextstate
        End If
    End Select
    fNavigate "#begin"
End Sub

Function fUnits(t)
    If t >= 20 Then
        fUnits = t Mod 10
    Else
        fUnits = t
    End If
End Function

Sub ssfUnits(t, pos)
    If fUnits(t) <> 0 Then
        ssfSay fUnits(t) & ".wav", pos
    Else
        ssfSkip pos
    End If
End Sub

Sub ssfSay(files, pos)
    session("subdata0") = pos
    vcfPlayFile session("data0"), "System", files
End Sub

Sub ssfSkip(pos)
    session("subdata0") = pos
    Jump session("data0")
End Sub

Sub ssfSayLast(nextstate, files)
    session("subdata0") = ""
    vcfPlayFile nextstate, "System", files
End Sub

Sub ssfDone(nextstate)
    session("subdata0") = ""
    Jump nextstate
End Sub

Function fStrip(entry)
    fStrip = entry & ""
    If Right(fStrip, 1) = "#" Then fStrip = Left(fStrip, Len(fStrip) - 1)
End Function

Function fNumber(entry)
    ' the member columns hold 16-bit numbers: anything else cannot name a member
    Dim re, t
    fNumber = ""
    t = entry & ""
    Set re = New RegExp
    re.Pattern = "^[0-9]+$"
    If re.Test(t) Then
        Do While Len(t) > 1 And Left(t, 1) = "0"
            t = Mid(t, 2)
        Loop
        If Len(t) <= 5 Then
            If CLng(t) <= 32767 Then fNumber = t
        End If
    End If
End Function

Function fAttempts(mailboxno)
    Set RS = MyConn.Execute("Select attempts From members where mailbox =" & mailboxno)
    If RS.EOF Then
        fAttempts = -1
    Else
        fAttempts = RS("attempts")
        If IsNull(fAttempts) Then fAttempts = 0
    End If
    RS.Close
End Function

Function fLike(name, pattern)
    Dim re
    Set re = New RegExp
    re.IgnoreCase = True
    re.Pattern = "^" & Replace(Replace(Replace(pattern, ".", "\."), "*", ".*"), "?", ".") & "$"
    fLike = re.Test(name)
End Function

Function fListMsgs(folder, pattern)
    ' the message names (stem "mmddhhnn.") in folder that match pattern, joined by "|"
    Dim re, f, n
    fListMsgs = ""
    If Not fso.FolderExists(folder) Then Exit Function
    Set re = New RegExp
    re.Pattern = "^[0-9]{8}\."
    For Each f In fso.GetFolder(folder).Files
        n = LCase(f.Name)
        If re.Test(n) And fLike(n, pattern) Then
            If fListMsgs <> "" Then fListMsgs = fListMsgs & "|"
            fListMsgs = fListMsgs & n
        End If
    Next
End Function

Function fCountMsgs(folder, pattern)
    Dim names
    names = fListMsgs(folder, pattern)
    If names = "" Then
        fCountMsgs = 0
    Else
        fCountMsgs = UBound(Split(names, "|")) + 1
    End If
End Function

Function fFindMsg(folder, pattern, lower, upper, greatest)
    ' the greatest or least message name whose stem is above lower and whose name is
    ' below upper (either bound may be empty); empty when there is none
    Dim names, i, n
    fFindMsg = ""
    names = fListMsgs(folder, pattern)
    If names = "" Then Exit Function
    names = Split(names, "|")
    For i = 0 To UBound(names)
        n = names(i)
        If (lower = "" Or Left(n, 8) > lower) And (upper = "" Or n < LCase(upper)) Then
            If fFindMsg = "" Then
                fFindMsg = n
            ElseIf greatest = (n > fFindMsg) Then
                fFindMsg = n
            End If
        End If
    Next
End Function

Function fAge(name)
    Dim d
    d = DateSerial(Year(Date), CLng(Left(name, 2)), CLng(Mid(name, 3, 2)))
    fAge = CLng(Date - d)
    If fAge < 0 Then
        d = DateSerial(Year(Date) - 1, CLng(Left(name, 2)), CLng(Mid(name, 3, 2)))
        fAge = CLng(Date - d)
    End If
End Function

Function fStamp(d)
    fStamp = Right("0" & Month(d), 2) & Right("0" & Day(d), 2)
    fStamp = fStamp & Right("0" & Hour(d), 2) & Right("0" & Minute(d), 2)
End Function

Function fStemUsed(stem)
    fStemUsed = isfiles(stem & "wav") Or isfiles(stem & "inf")
    fStemUsed = fStemUsed Or isfiles(stem & "in_") Or isfiles(stem & "i__")
End Function

Function fFileSize(location)
    On Error Resume Next
    fFileSize = 0
    fFileSize = fso.GetFile(location).Size
End Function

Sub fMakeFolders(mailboxno)
    On Error Resume Next
    fso.CreateFolder "«site»/mboxes"
    fso.CreateFolder "«site»/mboxes/" & mailboxno
    fso.CreateFolder "«site»/mboxes/" & mailboxno & "/msg"
End Sub

Sub fRenameInfo(folder, oldname, newname)
    Dim t
    On Error Resume Next
    Set t = fso.CreateTextFile(folder & newname, True)
    t.Close
    fso.DeleteFile folder & oldname
End Sub

Function fDeleteMsg(folder, stem)
    ' False when the recording could not be deleted (in use); the info file then stays
    Dim names, i
    On Error Resume Next
    fso.DeleteFile folder & stem & "wav"
    fDeleteMsg = Not fso.FileExists(folder & stem & "wav")
    If fDeleteMsg Then
        names = fListMsgs(folder, stem & "i*")
        If names <> "" Then
            names = Split(names, "|")
            For i = 0 To UBound(names)
                fso.DeleteFile folder & names(i)
            Next
        End If
    End If
End Function

Sub fForwardMsg(msgfolder, name, mailboxno)
    ' the copy arrives as a new message under the first free minute from the original's
    Dim folder, start, stem, tries
    On Error Resume Next
    fMakeFolders mailboxno
    folder = "«site»/mboxes/" & mailboxno & "/msg"
    start = DateSerial(Year(Date), CLng(Left(name, 2)), CLng(Mid(name, 3, 2)))
    start = start + TimeSerial(CLng(Mid(name, 5, 2)), CLng(Mid(name, 7, 2)), 0)
    tries = 0
    Do
        stem = folder & "/" & fStamp(start) & "."
        start = DateAdd("n", 1, start)
        tries = tries + 1
    Loop While fStemUsed(stem) And tries < 100000
    If isfiles(msgfolder & name) And Not fStemUsed(stem) Then
        fso.CopyFile msgfolder & name, stem & "inf"
        If isfiles(msgfolder & Left(name, 9) & "wav") Then
            fso.CopyFile msgfolder & Left(name, 9) & "wav", stem & "wav"
        End If
    End If
End Sub
)vbs";

// The HTML blocks of the WTE page, each shown when its routine selected it.
constexpr char16_t kWteActionBlocks[] = uR"vbs(%>
</HEAD>
<BODY>
<A name=recordfile></A>
<% if recordfile then %>
<FORM name=MessageForm>
<TEXTAREA cols=50 id=MessageText name=MessageText rows=4
VOICEFILE="<% response.write session("data2") %>"></TEXTAREA>
<SCRIPT language=vbscript for=MessageText event=OnChange>
On Error Resume Next
</SCRIPT>
<DIV id=OnlyWeb>
<INPUT id=SendButton name=SendButton type=button value=Send style="Cut-Through: NO">
<SCRIPT language=vbscript for=SendButton event=OnClick>
' look for source IP before saving: limit # of msgs per sourceIP.
If MessageForm.MessageText.value <> "" Then
MsgBox "Message send as " & MessageForm.MessageText.value
End If
</SCRIPT>
</DIV>
</FORM>
<DIV id=OnlyWeb>Thank you!</DIV>
<SCRIPT language=vbscript>
window.navigate("#begin")
</SCRIPT>
<DIV id=OnlyPhone>
<p VoiceFile = "Waves/msgrecorded.wav"> </p>
<%
session("msgSaved") = "true"
%>
<SCRIPT language=vbscript>
window.navigate("#begin")
</SCRIPT>
</DIV>
<% end if %>
<A name=playfile></A>
<% if playfile then %>
<DIV id=OnlyWeb><BR>Playing message..</DIV>
<SCRIPT language=vbscript>
window.navigate("#begin")
</SCRIPT>
<DIV id=OnlyPhone>
<P VOICEFILE="<% response.write session("data2") %>"<% fWriteStartPosition %>>
<FORM name=PlayForm>
<INPUT type=button value=Continue style="Cut-Through: NO"
language=vbscript onclick='window.navigate("#begin")'>
</FORM>
</P>
</DIV>
<% end if %>
<A name=getdigits></A>
<% if getdigits then %>
<SCRIPT language=vbscript>
Dim session
Set session = window.external.Session
window.external.configuration.InputTerminator = "#"
window.external.configuration.IgnoreNavigationKeysTillTermination = true
window.external.configuration.InterTimeoutInterval = session("timeout")
window.external.configuration.FirstTimeoutInterval = session("timeout")
Sub Digits_OnChange
session("data2") = window.event.srcElement.value
window.navigate("#begin")
End Sub
Sub Digits_OnClick
session("data2") = window.event.srcElement.value
'window.navigate("#begin")
End Sub
Sub Digits_OnKeyPress
End Sub
Sub Digits_OnSelectionError
window.navigate("#begin")
End Sub
Sub Digits_OnSelectionTimeout
window.navigate("#begin")
End Sub
</SCRIPT>
<DIV id=OnlyWeb>Get Digits
<FORM name=DigitsForm>
<INPUT type=text maxlength=4 id=Digits name=Digits>
</FORM>
</DIV>
<DIV id=OnlyPhone>
<FORM name=DigitsForm>
<INPUT type=text maxlength="<%=session("maxdigits")%>" id=Digits style="Cut-Through: NO" type=button>
</FORM>
</DIV>
<% end if %>
<A name=Hangup></A>
<DIV id=OnlyWeb><BR>Hanging up</DIV>
<% if hangup then %>
<%
MyConn.Close
Set RS = Nothing
Set MyConn = Nothing
%>
<SCRIPT language=vbscript>
window.navigate("callWave.asp#Hangup")
</SCRIPT>
<% end if %>
</BODY>
</HTML>
)vbs";

// ---- The VoiceXML service ------------------------------------------------------------

// The caller's answer to the last document comes first: the state routine reads it as the
// WTE page's digit block leaves it.
constexpr char16_t kVxmlHead[] = uR"vbs(<%
response.buffer = True
fTakeAnswer
%>
)vbs";

constexpr char16_t kVxmlNavigate[] = uR"vbs(Sub fNavigate(anchor)
    ' the visit answers with one document, for the block selected, once the state has run
    navigated = True
End Sub

)vbs";

// The routines of the answer, then the answer: one form a visit, submitting back here.
// A digit wait of one key takes any key, "#" among them, as the menus expect; a longer
// entry ends at "#", which the entry does not keep.
constexpr char16_t kVxmlActionBlocks[] = uR"vbs(
Sub fTakeAnswer()
    ' only the answer the last document asked for is taken, so that no request can enter
    ' keys or write a file unasked
    Dim wait
    wait = session("vxmlwait")
    session("vxmlwait") = ""
    If wait = "" Or wait <> request.querystring("answer") Then Exit Sub
    If wait = "digits" Then
        session("data2") = fKeys(request.form("digits"))
    Else
        fSaveRecording session("data2")
    End If
End Sub

Function fKeys(entry)
    ' a grammar may report keys as blank-separated words: the keypad keys alone, as many
    ' as the wait asked for
    Dim i, c
    fKeys = ""
    For i = 1 To Len(entry & "")
        c = Mid(entry, i, 1)
        If InStr("0123456789*#", c) > 0 Then fKeys = fKeys & c
    Next
    fKeys = Left(fKeys, session("maxdigits"))
End Function

Function fTermchar()
    fTermchar = "#"
    If session("maxdigits") = 1 Then fTermchar = ""
End Function

Function fKeyItems()
    Dim keys, i
    keys = "0123456789*"
    If session("maxdigits") = 1 Then keys = keys & "#"
    fKeyItems = ""
    For i = 1 To Len(keys)
        fKeyItems = fKeyItems & "<item>" & Mid(keys, i, 1) & "</item>"
    Next
End Function

Function fUrl(location)
    ' the platform fetches files of the site relative to this page
    Dim site
    site = "«site»/"
    fUrl = location
    If Left(location, Len(site)) = site Then fUrl = Mid(location, Len(site) + 1)
End Function

Sub fSaveRecording(location)
    ' the recording is the part "message" of a multipart/form-data post. Read as
    ' iso-8859-1 text, one character a byte, the body shows where the part's bytes lie;
    ' they are copied from the binary body unchanged
    Dim ctype, boundary, st, body, p, first, last, out
    On Error Resume Next
    If request.totalbytes <= 0 Then Exit Sub
    ctype = request.servervariables("CONTENT_TYPE")
    p = InStr(ctype, "boundary=")
    If p = 0 Then Exit Sub
    boundary = Replace(Mid(ctype, p + 9), """", "")
    If InStr(boundary, ";") > 0 Then boundary = Left(boundary, InStr(boundary, ";") - 1)
    Set st = server.createobject("ADODB.Stream")
    st.Type = 1
    st.Open
    st.Write request.binaryread(request.totalbytes)
    st.Position = 0
    st.Type = 2
    st.Charset = "iso-8859-1"
    body = st.ReadText
    p = InStr(body, "name=""message""")
    If p = 0 Then Exit Sub
    first = InStr(p, body, vbCrLf & vbCrLf)
    last = InStr(first + 4, body, vbCrLf & "--" & boundary)
    If first = 0 Or last = 0 Then Exit Sub
    first = first + 4
    Set out = server.createobject("ADODB.Stream")
    out.Type = 1
    out.Open
    st.Position = 0
    st.Type = 1
    st.Position = first - 1
    st.CopyTo out, last - first
    out.SaveToFile location, 2
    out.Close
    st.Close
End Sub

response.clear
response.contenttype = "application/voicexml+xml"
%><?xml version="1.0" encoding="UTF-8"?>
<vxml version="2.1" xmlns="http://www.w3.org/2001/vxml">
<% if recordfile then %>
<%
session("vxmlwait") = "recording"
session("msgSaved") = "true"
%>
<form id="recordfile">
<record name="message" dtmfterm="true" type="audio/x-wav">
<filled>
<audio src="Waves/msgrecorded.wav"/>
<submit next="RemoteVxml.asp?answer=recording" method="post"
enctype="multipart/form-data" namelist="message"/>
</filled>
<noinput>
<submit next="RemoteVxml.asp?answer=recording" method="post"/>
</noinput>
</record>
</form>
<% end if %>
<% if playfile then %>
<form id="playfile">
<block>
<audio src="<%= server.htmlencode(fUrl(session("data2"))) %>"/>
<submit next="RemoteVxml.asp" method="post"/>
</block>
</form>
<% end if %>
<% if getdigits then %>
<% session("vxmlwait") = "digits" %>
<form id="getdigits">
<field name="digits">
<property name="termchar" value="<%= fTermchar() %>"/>
<property name="timeout" value="<%= session("timeout") %>s"/>
<property name="interdigittimeout" value="<%= session("timeout") %>s"/>
<grammar mode="dtmf" version="1.0" root="keys">
<rule id="keys">
<item repeat="1-<%= session("maxdigits") %>"><one-of><%= fKeyItems() %></one-of></item>
</rule>
</grammar>
<filled>
<submit next="RemoteVxml.asp?answer=digits" method="post" namelist="digits"/>
</filled>
<noinput>
<submit next="RemoteVxml.asp?answer=digits" method="post"/>
</noinput>
<nomatch>
<submit next="RemoteVxml.asp?answer=digits" method="post"/>
</nomatch>
</field>
</form>
<% end if %>
<% if hangup then %>
<%
MyConn.Close
Set RS = Nothing
Set MyConn = Nothing
%>
<form id="hangup">
<block>
<disconnect/>
</block>
</form>
<% end if %>
<% if not (recordfile or playfile or getdigits or hangup) then %>
<form id="begin">
<block>
<submit next="RemoteVxml.asp" method="post"/>
</block>
</form>
<% end if %>
</vxml>
)vbs";

void writeSection(LineSink &sink, const char16_t *text)
{
    QString section = QString::fromUtf16(text);
    section.replace(QStringLiteral("«site»"), QString::fromUtf16(kSiteBaseUrl));
    Q_ASSERT(!section.contains(QChar(u'«')) && !section.contains(QChar(u'»')));
    // Each section ends with a newline; the last split part is that empty remainder.
    QStringList lines = section.split(QLatin1Char('\n'));
    lines.removeLast();
    for (const QString &line : std::as_const(lines))
        sink.writeCodeLine(line);
}

// The voice-mail page of either kind: one state routine and its routines, with the head,
// the navigation and the action blocks of the kind.
void writePage(LineSink &sink, const char16_t *head, const char16_t *navigate,
               const char16_t *actionBlocks)
{
    writeSection(sink, kPrologue);
    writeSection(sink, head);
    writeSection(sink, kStateRoutine);
    writeSection(sink, kRoutines);
    writeSection(sink, navigate);
    writeSection(sink, kHelpers);
    writeSection(sink, actionBlocks);
}

} // namespace

void writeRemotePage(LineSink &sink)
{
    writePage(sink, kWteHead, kWteNavigate, kWteActionBlocks);
}

void writeVxmlServicePage(LineSink &sink)
{
    writePage(sink, kVxmlHead, kVxmlNavigate, kVxmlActionBlocks);
}

QString remotePageFileName(GenerationTarget target)
{
    switch (target) {
    case GenerationTarget::WteTts:
    case GenerationTarget::Narration:
        return QStringLiteral("RemoteTTS.asp");
    case GenerationTarget::WteWave:
        return QStringLiteral("RemoteWave.asp");
    case GenerationTarget::Vxml:
        return QStringLiteral("RemoteVxml.asp");
    case GenerationTarget::CallXml:
        break;
    }
    return {};
}

} // namespace codegen
