<% '-----------------------answercall------------------------------- %>
     
<% '"answer-call" begin here %>
<%@ language = vbscript %>
<html>
 <head>
   <title>wte voice enabled site</title>
   <meta content="text/html; charset=iso-8859-1" http-equiv=content-type>
     <style media="screen, print" type=text/css>#onlyphone
     { display: none }
   </style>
     <meta content="mshtml 5.00.2920.0" name=tarnwick>
<script language=javascript>
<!--
  var ua = navigator.useragent;
  var an = navigator.appname;
  // is it ie?
  bmsie = (ua.indexof("msie")>=1);
  if (! bmsie)
  {
   alert("you need to use internet explorer to run this page");
   window.close;
  }
  var ismswte = (typeof(window.external.hostname)=="string");
  if (ismswte == true)
    ismswte = (window.external.hostname == "microsoft web telephony engine");
  if (ismswte == true) {
    if (window.external.session("calledid") != "")
 window.external.session("msgsaved") = "false"
      window.external.itbasiccallcontrol.answer();
  }
-->
</script>
</head>
 <body bgcolor=#ffffff>
 <center>
<a name="answer-call"></a>
window.navigate("#play-main-greetings")
<% 'answercall end here %>
     
<% '-------------------play main greetings------------------------ %>
     
<% '"play-main-greetings" begin here %>
<a name="play-main-greetings"></a>
<% 'call writelog " play main greetings " %>
type text to be spoken here.
 <menu onselectiontimeout=window.navigate("#answer-call") onselectionerror=window.navigate("#answer-call")>
 <a accesskey="1" href="#play-personal-greetings"></a>
 <a accesskey="2" href="#get-password-digits"></a>
 <a accesskey="3" href="#get-user-id-digits"></a>
 </menu>
<% '"play-main-greetings" ends here %>
     
     
<% '-------------------play personal greetings------------------------ %>
     
<% '"play-personal-greetings" begin here %>
<a name="play-personal-greetings"></a>
<% 'call writelog " play personal greetings " %>
type text to be spoken here.
window.navigate("#get-option-digits")
<% '"play-personal-greetings" ends here %>
     
     
<% '-------------------get option digits------------------------ %>
     
<% '"get-option-digits" begin here %>
<script language=vbscript>
    window.external.configuration.inputterminator ="#"
    window.external.configuration.ignorenavigationkeystilltermination =true
    window.external.configuration.intertimeoutinterval =30
    window.external.configuration.firsttimeoutinterval=30
 
    sub optiondigits_onchange()
     session("optiondigit")= optiondigitsform.optiondigits.value
    end sub
    sub optiondigits_onclick()
          session("optiondigit")= optiondigitsform.optiondigits.value
    end sub
    sub optiondigits_onkeypress()
   end sub
 </script>
<a name="get-option-digits"></a>
<% 'call writelog " get option digits " %>
type text to be spoken here.
 <form id=optiondigitsform>
       <input type=text maxlength=4 id=optiondigits style="cut-through: no" type=button>
 </form>
 <menu onselectiontimeout=window.navigate("#play-personal-greetings") onselectionerror=window.navigate("#play-personal-greetings")>
 <a accesskey="1" href="#process-recorded-messages"></a>
 <a accesskey="2" href="#record-message"></a>
 </menu>
<% '"get-option-digits" ends here %>
     
     
<% '-------------------process recorded messages------------------------ %>
     
<% '"process-recorded-messages" begin here %>
<a name="process-recorded-messages"></a>
<% 'call writelog " process recorded message " %>
type text to be spoken here.
<form>
window.navigate("remotetts.asp")
</form>
<% '"process-recorded-messages" ends here %>
     
     
<% '-------------------play message options------------------------ %>
     
<% '"play-message-options" begin here %>
<script language=vbscript>
    window.external.configuration.inputterminator ="#"
    window.external.configuration.ignorenavigationkeystilltermination =true
    window.external.configuration.intertimeoutinterval =30
    window.external.configuration.firsttimeoutinterval=30
 
    sub messageoption_onchange()
     session("msgdigit")= messageoptionform.messageoption.value
    end sub
    sub messageoption_onclick()
          session("msgdigit")= messageoptionform.messageoption.value
    end sub
    sub messageoption_onkeypress()
   end sub
 </script>
<a name="play-message-options"></a>
<% 'call writelog " play message options " %>
type text to be spoken here.
 <form id=messageoptionform>
       <input type=text maxlength=4 id=messageoption style="cut-through: no" type=button>
 </form>
 <menu onselectiontimeout=window.navigate("#process-recorded-messages") onselectionerror=window.navigate("#process-recorded-messages")>
 <a accesskey="1" href="#hangup"></a>
 <a accesskey="2" href="#hear-recorded-message"></a>
 <a accesskey="3" href="#re-record-messages"></a>
 <a accesskey="4" href="#save-recorded-message"></a>
 <a accesskey="5" href="#delete-recorded-message"></a>
 </menu>
<% '"play-message-options" ends here %>
     
     
<% '-------------------hangup------------------------ %>
     
<% '"hangup" begin here %>
<a name="hangup"></a>
<% 'call writelog " hanging up.... " %>
type text to be spoken here.
     <script language=vbscript>
      if (ismswte) then
  
        ' disconnect_code constants
        const dc_normal = 0
        const dc_noanswer = 1
        const dc_rejected = 2
 
        window.external.itbasiccallcontrol.disconnect dc_normal
      end if
     </script>
<% '"hangup" ends here %>
     
     
<% '-------------------hear recorded message------------------------ %>
     
<% '"hear-recorded-message" begin here %>
<a name="hear-recorded-message"></a>
<% 'call writelog " play recorded message " %>
<p voicefile="recorded.wav">
<form>
window.navigate("#play-message-options")
</form>
<% '"hear-recorded-message" ends here %>
     
     
<% '-------------------re-record messages------------------------ %>
     
<% '"re-record-messages" begin here %>
<a name="re-record-messages"></a>
<% 'call writelog " re-recording message " %>
window.navigate("#play-message-options")
<% '"re-record-messages" ends here %>
     
     
<% '-------------------save recorded message------------------------ %>
     
<% '"save-recorded-message" begin here %>
    external.configuration.inputwaveformat = 2
    external.session(“digits”) = empty
    window.external.configuration.inputterminator ="#"
    window.external.configuration.ignorenavigationkeystilltermination =true
    window.external.configuration.intertimeoutinterval =30
    window.external.configuration.firsttimeoutinterval=30
    
on error resume next
<a name="save-recorded-message"></a>
<% 'call writelog " save recorded message " %>
session("msgsaved") = "true"
%>
type text to be spoken here.
<form>
window.navigate("#play-message-options")
</form>
<% '"save-recorded-message" ends here %>
     
     
<% '-------------------delete recorded message------------------------ %>
     
<% '"delete-recorded-message" begin here %>
<a name="delete-recorded-message"></a>
<% 'call writelog " delete recorded message " %>
type text to be spoken here.
<form>
window.navigate("#play-message-options")
</form>
<% '"delete-recorded-message" ends here %>
     
     
<% '-------------------record message------------------------ %>
     
<% '"record-message" begin here %>
<a name="record-message"></a>
<% 'call writelog " record message " %>
type text to be spoken here.
  <form name=messageform>
   <textarea cols=50 name=messagetext rows=4 voicefile="recorded.wav"> </textarea>
<script event=onchange for=messagetext language=vbscript>
 on error resume next
</script>
</form>
window.navigate("#hangup")
<% '"record-message" ends here %>
     
     
<% '-------------------get password digits------------------------ %>
     
<% '"get-password-digits" begin here %>
<script language=vbscript>
    window.external.configuration.inputterminator ="#"
    window.external.configuration.ignorenavigationkeystilltermination =true
    window.external.configuration.intertimeoutinterval =30
    window.external.configuration.firsttimeoutinterval=30
 
    sub userpindigits_onchange()
     session("userpin")= userpindigitsform.userpindigits.value
    end sub
    sub userpindigits_onclick()
          session("userpin")= userpindigitsform.userpindigits.value
    end sub
    sub userpindigits_onkeypress()
   end sub
 </script>
<a name="get-password-digits"></a>
<% 'call writelog " get pass word digits " %>
type text to be spoken here.
 <form id=userpindigitsform>
       <input type=text maxlength=4 id=userpindigits style="cut-through: no" type=button>
  </form>
<% '"get-password-digits" ends here %>
     
     
<% '-------------------get user id digits------------------------ %>
     
<% '"get-user-id-digits" begin here %>
<script language=vbscript>
    window.external.configuration.inputterminator ="#"
    window.external.configuration.ignorenavigationkeystilltermination =true
    window.external.configuration.intertimeoutinterval =30
    window.external.configuration.firsttimeoutinterval=30
 
    sub useriddigits_onchange()
     session("userid")= useriddigitsform.useriddigits.value
    end sub
    sub useriddigits_onclick()
          session("userid")= useriddigitsform.useriddigits.value
    end sub
    sub useriddigits_onkeypress()
   end sub
 </script>
<a name="get-user-id-digits"></a>
<% 'call writelog " get user id digits " %>
type text to be spoken here.
 <form id=useriddigitsform>
       <input type=text maxlength=4 id=useriddigits style="cut-through: no" type=button>
  </form>
<% '"get-user-id-digits" ends here %>
     
     
