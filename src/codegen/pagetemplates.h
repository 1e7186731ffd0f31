#pragma once

// The fixed lines of the generated pages, in the case in which the program holds them (the
// line sink lower-cases them). Template syntax: see templatefill.h. Blank-looking lines are
// spacer lines of the page: their blanks count. Server-side comment lines take node texts
// only as «commentLabel» or «commentText», made safe for a comment (commentText()).

namespace codegen::templates {

// ---- Shared WTE lines ----------------------------------------------------------------

inline constexpr char16_t kSeparator[] = uR"dw(
<% '-------------------«commentText»------------------------ %>
     
)dw";

inline constexpr char16_t kPromptWave[] = uR"dw(<p VoiceFile ="waves\«voicefile»"></p>)dw";

inline constexpr char16_t kSectionEnd[] = uR"dw(
<% '"«commentLabel»" ends here %>
     
     
)dw";

// ---- Option menu ---------------------------------------------------------------------

inline constexpr char16_t kNavigate[] = uR"dw(window.navigate("«nextTarget»"))dw";
inline constexpr char16_t kMenuStart[] =
    uR"dw( <menu onselectiontimeout=window.navigate("«parentAnchor»"))dw"
    uR"dw( onselectionerror=window.navigate("«parentAnchor»")>)dw";
inline constexpr char16_t kMenuOption[] = uR"dw( <a accesskey="«k»" href="«target»"></a>)dw";
inline constexpr char16_t kMenuEnd[] = uR"dw( </menu>)dw";

// ---- Answer call: the page head ------------------------------------------------------

inline constexpr char16_t kAnswerCallHead[] = uR"dw(
<% '-----------------------AnswerCall------------------------------- %>
     
<% '"«commentLabel»" begin here %>
<%@ LANGUAGE = VBScript %>
<HTML>
 <HEAD>
   <TITLE>WTE Voice Enabled Site</TITLE>
   <META content="text/html; charset=iso-8859-1" http-equiv=Content-Type>
     <STYLE media="screen, print" type=text/css>#OnlyPhone
     { DISPLAY: none }
   </STYLE>
     <META content="MSHTML 5.00.2920.0" name=Tarnwick>
<script language=javascript>
<!--
  var ua = navigator.userAgent;
  var an = navigator.appName;
  // Is it IE?
  bMSIE = (ua.indexOf("MSIE")>=1);
  if (! bMSIE)
  {
   alert("You need to use Internet Explorer to run this page");
   window.close;
  }
  var IsMSWTE = (typeof(window.external.hostName)=="string");
  if (IsMSWTE == true)
    IsMSWTE = (window.external.hostName == "Microsoft Web Telephony Engine");
  if (IsMSWTE == true) {
    if (window.external.Session("CALLEDID") != "")
 window.external.Session("msgSaved") = "false"
      window.external.ITBasicCallControl.Answer();
  }
-->
</script>
</HEAD>
 <BODY bgColor=#ffffff>
 <CENTER>
<A name="«label»"></A>
)dw";

inline constexpr char16_t kAnswerCallEnd[] = uR"dw(
<% 'answercall end here %>
     
)dw";

// ---- Play a greeting -----------------------------------------------------------------

inline constexpr char16_t kGreeting[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog "«logText»" %>
«prompt»
)dw";

// ---- Collect digits ------------------------------------------------------------------

inline constexpr char16_t kDigitsHead[] = uR"dw(
<% '"«commentLabel»" begin here %>
<script language=vbscript>
    window.external.configuration.InputTerminator ="«InputTerm»"
    window.external.configuration.IgnoreNavigationKeysTillTermination =«IgnoreKeys»
    window.external.configuration.InterTimeoutInterval =«InterTimeoutInterval»
    window.external.configuration.FirstTimeoutInterval=«FirstTimeoutInterval»
 
    sub «X»_OnChange()
     session("«K»")= «X»Form.«X».value
    end sub
    sub «X»_OnClick()
          session("«K»")= «X»Form.«X».value
    end sub
    sub «X»_OnKeyPress()
   end sub
 </SCRIPT>
<A name="«label»"></A>
<% 'call writelog "«logText»" %>
«prompt»
)dw";

inline constexpr char16_t kDigitsForm[] =
    u"\n <form id=«X»Form>\n"
    uR"dw(       <INPUT type=«inputtype» maxlength=«inputmaxlen» id=«X»)dw"
    uR"dw( style="Cut-Through: NO" type=button>)dw"
    u"\n«formEnd»\n";

// ---- Process recorded messages -------------------------------------------------------

inline constexpr char16_t kProcessHead[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " process recorded message " %>
«prompt»
<form>
)dw";
inline constexpr char16_t kProcessToRemoteTts[] = uR"dw(window.navigate("RemoteTTS.asp"))dw";
inline constexpr char16_t kProcessToRemoteWave[] = uR"dw(window.navigate("remoteWave.asp"))dw";
inline constexpr char16_t kFormEnd[] = u"</form>";

// ---- Record a message ----------------------------------------------------------------

inline constexpr char16_t kRecord[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " Record message " %>
«prompt»
  <FORM name=MessageForm>
   <TEXTAREA cols=50 name=MessageText rows=4 VOICEFILE="recorded.wav"> </TEXTAREA>
<SCRIPT event=OnChange for=MessageText language=VBScript>
 On Error Resume Next
</SCRIPT>
</form>
)dw";

// ---- Hear, save, delete, re-record ---------------------------------------------------

inline constexpr char16_t kHear[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " play recorded message " %>
<P VOICEFILE="recorded.wav">
<form>
window.navigate("«parentAnchor»")
</form>
<% '"«commentLabel»" ends here %>
     
     
)dw";

inline constexpr char16_t kSave[] = uR"dw(
<% '"«commentLabel»" begin here %>
    External.Configuration.InputWaveFormat = 2
    External.Session(“Digits”) = Empty
    window.external.configuration.InputTerminator ="«InputTerm»"
    window.external.configuration.IgnoreNavigationKeysTillTermination =«IgnoreKeys»
    window.external.configuration.InterTimeoutInterval =«InterTimeoutInterval»
    window.external.configuration.FirstTimeoutInterval=«FirstTimeoutInterval»
    
On Error Resume Next
<A name="«label»"></A>
<% 'call writelog " Save recorded message " %>
Session("msgSaved") = "true"
%>
«prompt»
<form>
window.navigate("«parentAnchor»")
</form>
<% '"«commentLabel»" ends here %>
     
     
)dw";

inline constexpr char16_t kDelete[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " Delete recorded message " %>
«prompt»
<form>
window.navigate("«parentAnchor»")
</form>
<% '"«commentLabel»" ends here %>
     
     
)dw";

inline constexpr char16_t kRerecord[] = uR"dw(
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " Re-recording message " %>
window.navigate("«parentAnchor»")
<% '"«commentLabel»" ends here %>
     
     
)dw";

// ---- Hang up -------------------------------------------------------------------------

inline constexpr char16_t kHangupHead[] = uR"dw(
<% '-------------------Hangup------------------------ %>
     
<% '"«commentLabel»" begin here %>
<A name="«label»"></A>
<% 'call writelog " Hanging up.... " %>
«prompt»
     <SCRIPT language=vbscript>
      If (IsMSWTE) Then
)dw";

// Declared by the page's first hang-up section only: the page's scripts share one name
// space, and a second declaration of a constant is an error that stops the script.
inline constexpr char16_t kDisconnectCodes[] = uR"dw(
  
        ' DISCONNECT_CODE constants
        Const DC_NORMAL = 0
        Const DC_NOANSWER = 1
        Const DC_REJECTED = 2
 
)dw";

inline constexpr char16_t kHangupEnd[] = uR"dw(
        window.external.ITBasicCallControl.Disconnect DC_NORMAL
      End If
     </SCRIPT>
<% '"«commentLabel»" ends here %>
     
     
)dw";

// ---- CallXML -------------------------------------------------------------------------

inline constexpr char16_t kXmlHead[] = uR"dw(
<?xml version="1.0" encoding="UTF-8"?>
<callxml>
)dw";

inline constexpr char16_t kXmlTail[] = uR"dw(
 <goto value="" submit="all" method="get"/>
</callxml>
)dw";

inline constexpr char16_t kXmlAnswer[] = uR"dw(
<block label="Answercall" repeat="1" clearDigits="true">
<answer/>
</block>
)dw";

inline constexpr char16_t kXmlHangup[] = uR"dw(
<block label="hangup" repeat="1" clearDigits="true">
<hangup/>
</block>
)dw";

// «action» is one of the action lines below, already filled.
inline constexpr char16_t kXmlBlock[] = uR"dw(
<block label="«block»" repeat="1" clearDigits="true">
«action»
</block>
)dw";

inline constexpr char16_t kXmlPlay[] =
    uR"dw(<playAudio format="wave" termDigits="«InputTerm»" value="waves\«voicefile»")dw"
    uR"dw( clearDigits="true"/>)dw";

inline constexpr char16_t kXmlDigits[] =
    uR"dw(<getDigits var="default" maxDigits="«inputmaxlen»" termDigits="«InputTerm»")dw"
    uR"dw( includeTermDigit="false" clearDigits="true" maxTime="«FirstTimeoutInterval»")dw"
    uR"dw( maxSilence="«InterTimeoutInterval»"/>)dw";

inline constexpr char16_t kXmlRecord[] =
    uR"dw(<recordAudio format="wave" value="recorded.wav" termDigits="«InputTerm»")dw"
    uR"dw( clearDigits="true" maxTime="«FirstTimeoutInterval»")dw"
    uR"dw( maxSilence="«InterTimeoutInterval»"/>)dw";

// ---- Narration -----------------------------------------------------------------------

inline constexpr char16_t kSayWelcome[] =
    u"Thank you for using this rapid applicaton development tool.";
inline constexpr char16_t kSayAuthor[] =
    u"It was developed by Tarnwick. We hope you will like it.";
inline constexpr char16_t kSayAnswer[] =
    u"The application you have developed will first Answer the call.";
inline constexpr char16_t kSayOptionCount[] = u"The user has «n» options to make.";
inline constexpr char16_t kSayFirstOption[] =
    u"If user press option 1 the flow will go to «target»";
inline constexpr char16_t kSayOption[] =
    u"If user press option «k» the flow will go to  «target»";
inline constexpr char16_t kSayClosing[] = u"Then it will finally hangup the call.";

} // namespace codegen::templates
