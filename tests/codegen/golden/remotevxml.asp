<%@ language = vbscript %>
<%
dim fso, f1, f2, f3, s, g, playfile, recordfile, getdigits
dim myconn, sql, rs, h
dim hangup, navigated
set fso = createobject("scripting.filesystemobject")
set g = fso.opentextfile("d:\inetpub\wwwroot\voices\remotelog.txt", 8, true)
'writelog "new call received at " & time
set myconn=server.createobject("adodb.connection")
myconn.open "provider=microsoft.jet.oledb.4.0;data source=d:\inetpub\wwwroot\voices\calltree.mdb"
%>
<%
response.buffer = true
ftakeanswer
%>
<%
' replace every occurrence of d:/inetpub/wwwroot/voices in this page with the name of your own site.
call fdoremote

public function fdoremote()
    dim digits, mailboxno, mailbox, counter, temp1s, temp2s, currents, ix, nextstate
    dim profiles, msgfolder, stem, recording, pattern, found, n, names, i
    mailboxno = session("data1")
    mailbox = session("data1")
    digits = session("data2")
    session("msgsaved") = "false"
    profiles = "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/transfer.ini"
    if session("data0") = "" then session("data0") = "mb1"
    counter = session("counter")
    if isempty(counter) then counter = 0
    temp1s = session("temp1s")
    temp2s = session("temp2s")
    currents = session("currents")
    msgfolder = "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/msg/"
    stem = left(temp2s, 9)
    recording = msgfolder & stem & "wav"
    if temp1s = "old" then
        pattern = "*.i__"
    else
        pattern = "*.in*"
    end if

    select case session("data0")
    case "mb1"
        vcfplayfile "mb2", "system", "entermb.wav"
    case "mb2"
        vcfgetdigits "mb3", 9, 3
    case "mb3"
        digits = fnumber(fstrip(digits))
        found = false
        if digits <> "" then
            sql = "select mailbox from members where mailbox =" & digits
            set rs = myconn.execute(sql)
            found = not rs.eof
            rs.close
        end if
        if found then
            session("data1") = digits
            mailboxno = digits
            mailbox = digits
            profiles = "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/transfer.ini"
            jump "pw1"
        else
            'writelog "invalid mailbox received, invalid input"
            vcfplayfile "mb1", "system", "invalid.wav"
        end if
    case "pw1"
        vcfplayfile "pw2", "system", "enterpw.wav"
    case "pw2"
        vcfgetdigits "pw3", 15, 3
    case "pw3"
        digits = fnumber(fstrip(digits))
        mailboxno = fnumber(mailboxno)
        found = false
        if mailboxno <> "" and digits <> "" then
            sql = "select password, attempts from members where mailbox =" & mailboxno
            sql = sql & " and password =" & digits
            set rs = myconn.execute(sql)
            if not rs.eof then
                found = true
                n = rs("attempts")
            end if
            rs.close
        end if
        if mailboxno = "" then
            jump "mb1"
        elseif found then
            ' a locked mailbox stays locked, whatever password is entered
            if isnull(n) then n = 0
            if n >= 3 then
                jump "exit"
            else
                jump "play_#of_new_msg1"
            end if
        else
            'writelog "invalid password received"
            n = fattempts(mailboxno)
            ' the 16-bit column holds no more: a locked mailbox's count stops at 32767
            if n >= 0 and n < 32767 then
                n = n + 1
                myconn.execute "update members set attempts =" & n & " where mailbox =" & mailboxno
            end if
            if n >= 3 then
                vcfplayfile "exit", "system", "invalid.wav"
            else
                vcfplayfile "mb1", "system", "invalid.wav"
            end if
        end if
    case "play_#of_new_msg1"
        fmakefolders mailboxno
        counter = 0
        names = flistmsgs(msgfolder, "*.i*")
        if names <> "" then
            names = split(names, "|")
            for i = 0 to ubound(names)
                if right(names(i), 1) <> "_" then
                    counter = counter + 1
                elseif right(names(i), 2) <> "__" then
                    frenameinfo msgfolder, names(i), left(names(i), 9) & "i__"
                end if
            next
        end if
        if counter = 0 then
            vcfplayfile "menu0", "system", "nonewmsg.wav"
        else
            vcfplayfile "play_#of_new_msg2", "system", "youhave.wav"
        end if
    case "play_#of_new_msg2"
        ssfplaynumber "play_#of_new_msg3", counter
    case "play_#of_new_msg3"
        if counter = 1 then
            vcfplayfile "menu0", "system", "newmsg.wav"
        else
            vcfplayfile "menu0", "system", "newmsgs.wav"
        end if
    case "menu0"
        counter = 0
        vcfflushdigits "menu1"
    case "menu1"
        vcfplayfile "menu2", "system", "remmenu.wav"
    case "menu2"
        vcfgetdigits "menu3", 1, 3
    case "menu3"
        select case digits
        case "1"
            temp1s = "new"
            jump "play_message_instructions"
        case "2"
            temp1s = "old"
            jump "play_message_instructions"
        case "3"
            vcfplayfile "menu0", "msg2", "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/personal.wav"
        case "4"
            vcfplayfile "recordpersonal", "system", "recpersn.wav"
        case "5"
            jump "submenu0"
        case "#"
            jump "exit"
        case "*"
            jump "mb1"
        case else
            counter = counter + 1
            if counter = 3 then
                vcfplayfile "exit", "system", "invalid.wav"
            else
                vcfplayfile "menu1", "system", "invalid.wav"
            end if
        end select
    case "recordpersonal"
        vcfrecord "menu0", "msg2", "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/personal.wav", empty
    case "submenu0"
        counter = 0
        vcfflushdigits "submenu1"
    case "submenu1"
        vcfplayfile "submenu2", "system", "remsubmn.wav"
    case "submenu2"
        vcfgetdigits "submenu3", 1, 3
    case "submenu3"
        select case digits
        case "1"
            vcfplayfile "menu0", "msg", "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/prompt.wav"
        case "2"
            vcfplayfile "recordname", "system", "recprmt.wav"
        case "5"
            vcfplayfile "newpw0", "system", "enternpw.wav"
        case "6"
            counter = 0
            jump "newpgr0"
        case "7"
            counter = 0
            jump "newmnn0"
        case "#"
            jump "menu0"
        case else
            counter = counter + 1
            if counter = 2 then
                vcfplayfile "menu0", "system", "invalid.wav"
            else
                vcfplayfile "submenu1", "system", "invalid.wav"
            end if
        end select
    case "recordname"
        vcfrecord "menu0", "msg", "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/prompt.wav", 30
    case "newpw0"
        vcfgetdigits "newpw1", 15, 3
    case "newpw1"
        digits = fnumber(fstrip(digits))
        if digits = "" then
            vcfplayfile "menu0", "system", "invalid.wav"
        else
            temp1s = digits
            vcfplayfile "newpw2", "system", "entrnpwa.wav"
        end if
    case "newpw2"
        vcfgetdigits "newpw3", 15, 3
    case "newpw3"
        digits = fnumber(fstrip(digits))
        mailboxno = fnumber(mailboxno)
        found = false
        if digits <> "" and digits = temp1s and mailboxno <> "" then
            sql = "select * from members where mailbox =" & mailboxno
            set rs = myconn.execute(sql)
            found = not rs.eof
            rs.close
        end if
        temp1s = ""
        if found then
            sql = "update members set password =" & digits & " where mailbox =" & mailboxno
            myconn.execute sql
            vcfplayfile "menu0", "system", "pwsaved.wav"
        else
            vcfplayfile "menu0", "system", "invalid.wav"
        end if
    case "play_message_instructions"
        if temp1s = "old" then
            vcfplayfile "play_#of_old_msg1", "system", "pbinstru.wav"
        else
            vcfplayfile "get_instruct_digits", "system", "pbinstru.wav"
        end if
    case "play_#of_old_msg1"
        counter = fcountmsgs(msgfolder, "*.i__")
        if counter = 0 then
            vcfplayfile "menu0", "system", "nomsg.wav"
        else
            vcfplayfile "play_#of_old_msg2", "system", "youhave.wav"
        end if
    case "play_#of_old_msg2"
        ssfplaynumber "play_#of_old_msg3", counter
    case "play_#of_old_msg3"
        if counter = 1 then
            vcfplayfile "get_instruct_digits", "system", "message.wav"
        else
            vcfplayfile "get_instruct_digits", "system", "messages.wav"
        end if
    case "get_instruct_digits"
        vcfgetdigits "process_instruct_digits", 1, 0
    case "process_instruct_digits"
        if digits = "*" then
            vcfplayfile "find_first_msg", "system", "pbmenu.wav"
        else
            jump "find_first_msg"
        end if
    case "find_first_msg"
        temp2s = ffindmsg(msgfolder, pattern, "", "", true)
        if temp2s <> "" then
            counter = 1
            jump "play_msg_count1"
        else
            vcfplayfile "menu0", "system", "nomsg.wav"
        end if
    case "play_msg_count1"
        vcfplayfile "play_msg_count2", "system", "message.wav"
    case "play_msg_count2"
        ssfplaynumber "play_date1", counter
    case "play_date1"
        ix = fage(temp2s)
        if ix = 0 then
            vcfplayfile "play_msg", "system", "today.wav"
        elseif ix = 1 then
            vcfplayfile "play_msg", "system", "yestrday.wav"
        else
            vcfplayfile "play_date2", "system", "received.wav"
        end if
    case "play_date2"
        ix = fage(temp2s)
        ssfplaynumber "play_date3", ix
    case "play_date3"
        vcfplayfile "play_msg", "system", "daysago.wav"
    case "play_msg"
        if right(temp2s, 1) <> "_" then
            frenameinfo msgfolder, temp2s, stem & "in_"
            temp2s = stem & "in_"
        end if
        if isfiles(recording) then
            vcfplayfile "get_msg_digits", "msg2", recording
        else
            jump "play_time0"
        end if
    case "get_msg_digits"
        vcfgetdigits "process_msg_digits", 1, 0
    case "process_msg_digits"
        select case digits
        case "1"
            vcfplayforward "get_msg_digits", "msg2", recording, -65536
        case "3"
            vcfplayforward "get_msg_digits", "msg2", recording, 65536
        case "4"
            jump "find_prev_msg"
        case "6"
            jump "find_next_msg"
        case "7"
            if not isfiles(recording) then
                jump "find_next_msg"
            elseif fdeletemsg(msgfolder, stem) then
                'writelog "message deleted"
                counter = counter - 1
                vcfplayfile "find_next_msg", "system", "msgdel.wav"
            else
                vcfplayfile "find_next_msg", "system", "inuse.wav"
            end if
        case "8"
            jump "play_time0"
        case "9"
            jump "send_msg0"
        case "*"
            vcfplayfile "get_msg_digits", "system", "pbmenu.wav"
        case "#"
            jump "menu0"
        case else
            jump "find_next_msg"
        end select
    case "send_msg0"
        vcfplayfile "send_msg1", "system", "entrsnmb.wav"
    case "send_msg1"
        vcfgetdigits "send_msg2", 9, 3
    case "send_msg2"
        digits = fnumber(fstrip(digits))
        found = false
        if digits <> "" then
            sql = "select mailbox from members where mailbox =" & digits
            set rs = myconn.execute(sql)
            found = not rs.eof
            rs.close
        end if
        if found then
            'writelog "message sent"
            fforwardmsg msgfolder, temp2s, digits
            vcfplayfile "send_msg3", "system", "msgsent.wav"
        else
            'writelog "invalid input"
            vcfplayfile "send_msg3", "system", "invalid.wav"
        end if
    case "send_msg3"
        vcfplayfile "get_msg_digits", "msg2", recording
    case "play_time0"
        vcfplayfile "play_time1", "system", "timemsg.wav"
    case "play_time1"
        ssfplaytime "find_next_msg", mid(temp2s, 5, 4)
    case "find_next_msg"
        currents = temp2s
        temp2s = ffindmsg(msgfolder, pattern, "", left(currents, 8), true)
        if temp2s <> "" then
            counter = counter + 1
            jump "play_msg_count1"
        else
            temp2s = currents
            vcfplayfile "get_no_more_msg_digits", "system", "nomsg.wav"
        end if
    case "get_no_more_msg_digits"
        vcfgetdigits "process_no_more_msg_digits", 1, 2
    case "process_no_more_msg_digits"
        if digits = "4" then
            jump "play_msg_count1"
        else
            jump "menu0"
        end if
    case "find_prev_msg"
        currents = temp2s
        temp2s = "99999999.inf"
        temp2s = ffindmsg(msgfolder, pattern, left(currents, 8), temp2s, false)
        if temp2s <> "" then
            counter = counter - 1
            jump "play_msg_count1"
        else
            temp2s = "99999999.inf"
            vcfplayfile "menu0", "system", "nomsg.wav"
        end if
    case "exit"
        vcfhangup
    case else
        vcfhangup
    end select

    session("counter") = counter
    session("temp1s") = temp1s
    session("temp2s") = temp2s
    session("currents") = currents
end function

public function fplayprompt()
    select case session("data0")
    case "0"
        if isfiles("d:/inetpub/wwwroot/voices/mboxes/" & session("data1") & "/prompt.wav") then
            vcfplayfile "10", "prompt", "prompt.wav"
        else
            jump "10"
        end if
    case "10"
        vcfgoto session("data1")
    end select
    fnavigate "#begin"
end function

function getrecfilenames(mailbox)
    dim folder, i, stem
    fmakefolders mailbox
    folder = "d:/inetpub/wwwroot/voices/mboxes/" & mailbox & "/msg/"
    i = 0
    do
        stem = folder & fstamp(dateadd("n", i, now)) & "."
        i = i + 1
    loop while fstemused(stem)
    getrecfilenames = stem & "wav"
end function

sub ssfplaynumber(nextstate, n)
    ssfnumberstep nextstate, n, ""
end sub

sub ssfplaycurrency(nextstate, n, c)
    select case session("subdata0") & ""
    case "dollars"
        if n = 0 then
            ssfskip "10cents"
        elseif n = 1 then
            ssfsay "dollar.wav", "10cents"
        else
            ssfsay "dollars.wav", "10cents"
        end if
    case "10cents"
        if c mod 100 >= 20 then
            call ssfsay((c mod 100) \ 10 & "0.wav", "1cents")
        else
            ssfskip "1cents"
        end if
    case "1cents"
        ssfunits c mod 100, "cents"
    case "cents"
        if c = 0 then
            ssfdone nextstate
        elseif c = 1 then
            ssfsaylast nextstate, "cent.wav"
        else
            ssfsaylast nextstate, "cents.wav"
        end if
    case else
        ssfnumberstep nextstate, n, "dollars"
    end select
    fnavigate "#begin"
end sub

sub ssfplaytime(nextstate, msgtimes)
    dim hh, nn
    hh = left(msgtimes, 2)
    nn = mid(msgtimes, 3, 2)
    select case session("subdata0") & ""
    case "", "hour"
        if hh = "00" then
            ssfsay "12.wav", "minute"
        elseif hh <= "12" then
            ssfsay clng(hh) & ".wav", "minute"
        else
            ssfsay clng(hh) - 12 & ".wav", "minute"
        end if
    case "minute"
        if nn >= "20" then
            if right(nn, 1) = "0" then
                ssfsay left(nn, 1) & "0.wav", "ampm"
            else
                ssfsay left(nn, 1) & "0.wav", "minute1"
            end if
        elseif nn >= "10" then
            ssfsay nn & ".wav", "ampm"
        elseif nn = "00" then
            ssfskip "ampm"
        else
            ssfsay "o.wav", "minute1"
        end if
    case "minute1"
        ssfsay right(nn, 1) & ".wav", "ampm"
    case else
        if hh < "12" then
            ssfsaylast nextstate, "am.wav"
        else
            ssfsaylast nextstate, "pm.wav"
        end if
    end select
    fnavigate "#begin"
end sub

sub ssfplaydate(nextstate, sdates)
    dim mm, dd
    mm = left(sdates, 2)
    dd = mid(sdates, 3, 2)
    select case session("subdata0") & ""
    case "", "month"
        ssfsay "month" & mm & ".wav", "day"
    case "day"
        if dd >= "20" then
            if right(dd, 1) = "0" then
                ssfsaylast nextstate, left(dd, 1) & "0.wav"
            else
                ssfsay left(dd, 1) & "0.wav", "day1"
            end if
        elseif dd >= "10" then
            ssfsaylast nextstate, dd & ".wav"
        else
            ssfskip "day1"
        end if
    case else
        ssfsaylast nextstate, mid(sdates, 4, 1) & ".wav"
    end select
    fnavigate "#begin"
end sub

sub ssfplaystring(nextstate, ss)
    dim pos
    pos = session("subdata0") & ""
    if pos = "" then
        pos = 1
    else
        pos = clng(pos)
    end if
    if len(ss) = 0 then
        ssfdone nextstate
    elseif pos < len(ss) then
        session("subdata0") = cstr(pos + 1)
        vcfplayfile session("data0"), "system", mid(ss, pos, 1) & ".wav"
    else
        ssfsaylast nextstate, mid(ss, pos, 1) & ".wav"
    end if
end sub

sub writelog(textfile)
    g.writeline now & "   " & textfile
    playtext = textfile
end sub

sub vcfcontinue(nextstate)
    jump nextstate
end sub

sub vcfplayfile(nextstate, wheres, files)
    select case wheres
    case "system"
        session("data2") = "d:/inetpub/wwwroot/voices/waves/" & files
    case "prompt"
        session("data2") = "d:/inetpub/wwwroot/voices/mboxes/" & session("data1") & "/" & files
    case "current"
        session("data2") = "d:/inetpub/wwwroot/voices/mboxes/" & session("data1") & "/msg/" & files
    case else
        session("data2") = files
    end select
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    session("data0") = nextstate
    fselectblock "playfile"
    fnavigate "#playfile"
end sub

sub vcfrecord(nextstate, wheres, files, maxtime)
    on error resume next
    select case wheres
    case "system"
        session("data2") = "d:/inetpub/wwwroot/voices/mboxes/waves/" & files
    case "current"
        session("data2") = "d:/inetpub/wwwroot/voices/mboxes/" & session("data1") & "/msg/" & files
    case else
        session("data2") = files
    end select
    session("data0") = nextstate
    fselectblock "recordfile"
    fnavigate "#recordfile"
end sub

sub jump(nextstate)
    session("data0") = nextstate
    fnavigate "#begin"
end sub

sub vcfgoto(mailbox)
    session("data1") = "mailbox"
    session("data2") = mailbox
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    fnavigate "#begin"
end sub

sub vcfhangup()
    session("data1") = "hangup"
    session("data2") = ""
    session("data3") = 0
    session("data4") = 0
    session("data5") = 0
    g.close
    fselectblock "hangup"
    fnavigate "#hangup"
end sub

function isfiles(filenames)
    dim p, folder, pattern, f
    isfiles = false
    p = instrrev(replace(filenames, "\", "/"), "/")
    folder = left(filenames, p)
    pattern = mid(filenames, p + 1)
    if instr(pattern, "*") = 0 and instr(pattern, "?") = 0 then
        isfiles = fso.fileexists(filenames)
    elseif fso.folderexists(folder) then
        for each f in fso.getfolder(folder).files
            if flike(f.name, pattern) then isfiles = true
        next
    end if
end function

sub vcfgetdigits(nextstate, maxdigits, digitstimeouts)
    session("data0") = nextstate
    session("maxdigits") = maxdigits
    session("timeout") = digitstimeouts
    ' a time-out leaves the entry empty instead of the last played location
    session("data2") = ""
    fselectblock "getdigits"
    fnavigate "#getdigits"
end sub

sub vcfflushdigits(nextstate)
    ' digits typed ahead during the last prompt are not an answer to the next one
    session("data2") = ""
    jump nextstate
end sub

sub vcfplayforward(nextstate, wheres, files, offset)
    ' data3 carries the start position in the recording to the play action; it moves
    ' by offset from where the last play of this recording started
    dim pos, size
    pos = session("data3")
    if not isnumeric(pos) or isempty(pos) then pos = 0
    pos = clng(pos) + offset
    vcfplayfile nextstate, wheres, files
    size = ffilesize(session("data2"))
    if pos > size then pos = size
    if pos < 0 then pos = 0
    session("data3") = pos
end sub

sub fnavigate(anchor)
    ' the visit answers with one document, for the block selected, once the state has run
    navigated = true
end sub

sub fselectblock(name)
    playfile = (name = "playfile")
    recordfile = (name = "recordfile")
    getdigits = (name = "getdigits")
    hangup = (name = "hangup")
end sub

sub ssfnumberstep(nextstate, n, lastpos)
    dim pos
    pos = session("subdata0") & ""
    if pos = "" then
        if n >= 1000000000 or n < 0 then
            pos = "end"
        elseif n >= 1000000 then
            pos = "100,000,000"
        elseif n >= 1000 then
            pos = "100,000"
        else
            pos = "100"
        end if
    end if
    select case pos
    case "100,000,000"
        if n >= 100000000 then
            ssfsay n \ 100000000 & ".wav", "100million"
        else
            ssfskip "10,000,000"
        end if
    case "100million"
        ssfsay "hundred.wav", "10,000,000"
    case "10,000,000"
        if n mod 100000000 >= 20000000 then
            call ssfsay((n mod 100000000) \ 10000000 & "0.wav", "1,000,000")
        else
            ssfskip "1,000,000"
        end if
    case "1,000,000"
        call ssfunits((n \ 1000000) mod 100, "million")
    case "million"
        ssfsay "million.wav", "100,000"
    case "100,000"
        if n mod 1000000 >= 100000 then
            call ssfsay((n mod 1000000) \ 100000 & ".wav", "100thousand")
        else
            ssfskip "10,000"
        end if
    case "100thousand"
        ssfsay "hundred.wav", "10,000"
    case "10,000"
        if n mod 100000 >= 20000 then
            call ssfsay((n mod 100000) \ 10000 & "0.wav", "1,000")
        else
            ssfskip "1,000"
        end if
    case "1,000"
        call ssfunits((n \ 1000) mod 100, "thousand")
    case "thousand"
        ssfsay "thousand.wav", "100"
    case "100"
        if n mod 1000 >= 100 then
            call ssfsay((n mod 1000) \ 100 & ".wav", "100hundred")
        else
            ssfskip "10"
        end if
    case "100hundred"
        ssfsay "hundred.wav", "10"
    case "10"
        if n mod 100 >= 20 then
            call ssfsay((n mod 100) \ 10 & "0.wav", "1")
        else
            ssfskip "1"
        end if
    case "1"
        if lastpos <> "" then
            ssfunits n mod 100, lastpos
        elseif funits(n mod 100) <> 0 then
            ssfsaylast nextstate, funits(n mod 100) & ".wav"
        else
            ssfdone nextstate
        end if
    case else
        if lastpos <> "" then
            ssfskip lastpos
        else
            ssfdone nextstate
        end if
    end select
    fnavigate "#begin"
end sub

function funits(t)
    if t >= 20 then
        funits = t mod 10
    else
        funits = t
    end if
end function

sub ssfunits(t, pos)
    if funits(t) <> 0 then
        ssfsay funits(t) & ".wav", pos
    else
        ssfskip pos
    end if
end sub

sub ssfsay(files, pos)
    session("subdata0") = pos
    vcfplayfile session("data0"), "system", files
end sub

sub ssfskip(pos)
    session("subdata0") = pos
    jump session("data0")
end sub

sub ssfsaylast(nextstate, files)
    session("subdata0") = ""
    vcfplayfile nextstate, "system", files
end sub

sub ssfdone(nextstate)
    session("subdata0") = ""
    jump nextstate
end sub

function fstrip(entry)
    fstrip = entry & ""
    if right(fstrip, 1) = "#" then fstrip = left(fstrip, len(fstrip) - 1)
end function

function fnumber(entry)
    ' the member columns hold 16-bit numbers: anything else cannot name a member
    dim re, t
    fnumber = ""
    t = entry & ""
    set re = new regexp
    re.pattern = "^[0-9]+$"
    if re.test(t) then
        do while len(t) > 1 and left(t, 1) = "0"
            t = mid(t, 2)
        loop
        if len(t) <= 5 then
            if clng(t) <= 32767 then fnumber = t
        end if
    end if
end function

function fattempts(mailboxno)
    set rs = myconn.execute("select attempts from members where mailbox =" & mailboxno)
    if rs.eof then
        fattempts = -1
    else
        fattempts = rs("attempts")
        if isnull(fattempts) then fattempts = 0
    end if
    rs.close
end function

function flike(name, pattern)
    dim re
    set re = new regexp
    re.ignorecase = true
    re.pattern = "^" & replace(replace(replace(pattern, ".", "\."), "*", ".*"), "?", ".") & "$"
    flike = re.test(name)
end function

function flistmsgs(folder, pattern)
    ' the message names (stem "mmddhhnn.") in folder that match pattern, joined by "|"
    dim re, f, n
    flistmsgs = ""
    if not fso.folderexists(folder) then exit function
    set re = new regexp
    re.pattern = "^[0-9]{8}\."
    for each f in fso.getfolder(folder).files
        n = lcase(f.name)
        if re.test(n) and flike(n, pattern) then
            if flistmsgs <> "" then flistmsgs = flistmsgs & "|"
            flistmsgs = flistmsgs & n
        end if
    next
end function

function fcountmsgs(folder, pattern)
    dim names
    names = flistmsgs(folder, pattern)
    if names = "" then
        fcountmsgs = 0
    else
        fcountmsgs = ubound(split(names, "|")) + 1
    end if
end function

function ffindmsg(folder, pattern, lower, upper, greatest)
    ' the greatest or least message name whose stem is above lower and whose name is
    ' below upper (either bound may be empty); empty when there is none
    dim names, i, n
    ffindmsg = ""
    names = flistmsgs(folder, pattern)
    if names = "" then exit function
    names = split(names, "|")
    for i = 0 to ubound(names)
        n = names(i)
        if (lower = "" or left(n, 8) > lower) and (upper = "" or n < lcase(upper)) then
            if ffindmsg = "" then
                ffindmsg = n
            elseif greatest = (n > ffindmsg) then
                ffindmsg = n
            end if
        end if
    next
end function

function fage(name)
    dim d
    d = dateserial(year(date), clng(left(name, 2)), clng(mid(name, 3, 2)))
    fage = clng(date - d)
    if fage < 0 then
        d = dateserial(year(date) - 1, clng(left(name, 2)), clng(mid(name, 3, 2)))
        fage = clng(date - d)
    end if
end function

function fstamp(d)
    fstamp = right("0" & month(d), 2) & right("0" & day(d), 2)
    fstamp = fstamp & right("0" & hour(d), 2) & right("0" & minute(d), 2)
end function

function fstemused(stem)
    fstemused = isfiles(stem & "wav") or isfiles(stem & "inf")
    fstemused = fstemused or isfiles(stem & "in_") or isfiles(stem & "i__")
end function

function ffilesize(location)
    on error resume next
    ffilesize = 0
    ffilesize = fso.getfile(location).size
end function

sub fmakefolders(mailboxno)
    on error resume next
    fso.createfolder "d:/inetpub/wwwroot/voices/mboxes"
    fso.createfolder "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno
    fso.createfolder "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/msg"
end sub

sub frenameinfo(folder, oldname, newname)
    dim t
    on error resume next
    set t = fso.createtextfile(folder & newname, true)
    t.close
    fso.deletefile folder & oldname
end sub

function fdeletemsg(folder, stem)
    ' false when the recording could not be deleted (in use); the info file then stays
    dim names, i
    on error resume next
    fso.deletefile folder & stem & "wav"
    fdeletemsg = not fso.fileexists(folder & stem & "wav")
    if fdeletemsg then
        names = flistmsgs(folder, stem & "i*")
        if names <> "" then
            names = split(names, "|")
            for i = 0 to ubound(names)
                fso.deletefile folder & names(i)
            next
        end if
    end if
end function

sub fforwardmsg(msgfolder, name, mailboxno)
    ' the copy arrives as a new message under the first free minute from the original's
    dim folder, start, stem, tries
    on error resume next
    fmakefolders mailboxno
    folder = "d:/inetpub/wwwroot/voices/mboxes/" & mailboxno & "/msg"
    start = dateserial(year(date), clng(left(name, 2)), clng(mid(name, 3, 2)))
    start = start + timeserial(clng(mid(name, 5, 2)), clng(mid(name, 7, 2)), 0)
    tries = 0
    do
        stem = folder & "/" & fstamp(start) & "."
        start = dateadd("n", 1, start)
        tries = tries + 1
    loop while fstemused(stem) and tries < 100000
    if isfiles(msgfolder & name) and not fstemused(stem) then
        fso.copyfile msgfolder & name, stem & "inf"
        if isfiles(msgfolder & left(name, 9) & "wav") then
            fso.copyfile msgfolder & left(name, 9) & "wav", stem & "wav"
        end if
    end if
end sub

sub ftakeanswer()
    ' only the answer the last document asked for is taken, so that no request can enter
    ' keys or write a file unasked
    dim wait
    wait = session("vxmlwait")
    session("vxmlwait") = ""
    if wait = "" or wait <> request.querystring("answer") then exit sub
    if wait = "digits" then
        session("data2") = fkeys(request.form("digits"))
    else
        fsaverecording session("data2")
    end if
end sub

function fkeys(entry)
    ' a grammar may report keys as blank-separated words: the keypad keys alone, as many
    ' as the wait asked for
    dim i, c
    fkeys = ""
    for i = 1 to len(entry & "")
        c = mid(entry, i, 1)
        if instr("0123456789*#", c) > 0 then fkeys = fkeys & c
    next
    fkeys = left(fkeys, session("maxdigits"))
end function

function ftermchar()
    ftermchar = "#"
    if session("maxdigits") = 1 then ftermchar = ""
end function

function fkeyitems()
    dim keys, i
    keys = "0123456789*"
    if session("maxdigits") = 1 then keys = keys & "#"
    fkeyitems = ""
    for i = 1 to len(keys)
        fkeyitems = fkeyitems & "<item>" & mid(keys, i, 1) & "</item>"
    next
end function

function furl(location)
    ' the platform fetches files of the site relative to this page
    dim site
    site = "d:/inetpub/wwwroot/voices/"
    furl = location
    if left(location, len(site)) = site then furl = mid(location, len(site) + 1)
end function

sub fsaverecording(location)
    ' the recording is the part "message" of a multipart/form-data post. read as
    ' iso-8859-1 text, one character a byte, the body shows where the part's bytes lie;
    ' they are copied from the binary body unchanged
    dim ctype, boundary, st, body, p, first, last, out
    on error resume next
    if request.totalbytes <= 0 then exit sub
    ctype = request.servervariables("content_type")
    p = instr(ctype, "boundary=")
    if p = 0 then exit sub
    boundary = replace(mid(ctype, p + 9), """", "")
    if instr(boundary, ";") > 0 then boundary = left(boundary, instr(boundary, ";") - 1)
    set st = server.createobject("adodb.stream")
    st.type = 1
    st.open
    st.write request.binaryread(request.totalbytes)
    st.position = 0
    st.type = 2
    st.charset = "iso-8859-1"
    body = st.readtext
    p = instr(body, "name=""message""")
    if p = 0 then exit sub
    first = instr(p, body, vbcrlf & vbcrlf)
    last = instr(first + 4, body, vbcrlf & "--" & boundary)
    if first = 0 or last = 0 then exit sub
    first = first + 4
    set out = server.createobject("adodb.stream")
    out.type = 1
    out.open
    st.position = 0
    st.type = 1
    st.position = first - 1
    st.copyto out, last - first
    out.savetofile location, 2
    out.close
    st.close
end sub

response.clear
response.contenttype = "application/voicexml+xml"
%><?xml version="1.0" encoding="utf-8"?>
<vxml version="2.1" xmlns="http://www.w3.org/2001/vxml">
<% if recordfile then %>
<%
session("vxmlwait") = "recording"
session("msgsaved") = "true"
%>
<form id="recordfile">
<record name="message" dtmfterm="true" type="audio/x-wav">
<filled>
<audio src="waves/msgrecorded.wav"/>
<submit next="remotevxml.asp?answer=recording" method="post"
enctype="multipart/form-data" namelist="message"/>
</filled>
<noinput>
<submit next="remotevxml.asp?answer=recording" method="post"/>
</noinput>
</record>
</form>
<% end if %>
<% if playfile then %>
<form id="playfile">
<block>
<audio src="<%= server.htmlencode(furl(session("data2"))) %>"/>
<submit next="remotevxml.asp" method="post"/>
</block>
</form>
<% end if %>
<% if getdigits then %>
<% session("vxmlwait") = "digits" %>
<form id="getdigits">
<field name="digits">
<property name="termchar" value="<%= ftermchar() %>"/>
<property name="timeout" value="<%= session("timeout") %>s"/>
<property name="interdigittimeout" value="<%= session("timeout") %>s"/>
<grammar mode="dtmf" version="1.0" root="keys">
<rule id="keys">
<item repeat="1-<%= session("maxdigits") %>"><one-of><%= fkeyitems() %></one-of></item>
</rule>
</grammar>
<filled>
<submit next="remotevxml.asp?answer=digits" method="post" namelist="digits"/>
</filled>
<noinput>
<submit next="remotevxml.asp?answer=digits" method="post"/>
</noinput>
<nomatch>
<submit next="remotevxml.asp?answer=digits" method="post"/>
</nomatch>
</field>
</form>
<% end if %>
<% if hangup then %>
<%
myconn.close
set rs = nothing
set myconn = nothing
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
<submit next="remotevxml.asp" method="post"/>
</block>
</form>
<% end if %>
</vxml>
