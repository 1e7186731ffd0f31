#pragma once

// The fixed lines of the VoiceXML document of a flow (callvxml.vxml), written as they
// stand: VoiceXML is case-sensitive, so its sink does not lower-case. Template syntax: see
// templatefill.h. Values are escaped for XML before they are filled in. Rule ids are ids
// of the whole document, so each begins with the id of its dialog.

namespace codegen::vxmltemplates {

// ---- The document --------------------------------------------------------------------

// keysOf: an entry as the caller keyed it. A DTMF grammar may report its keys as
// blank-separated words ("1 2 3"); the pages compare entries as "123".
inline constexpr char16_t kHead[] = uR"dw(
<?xml version="1.0" encoding="UTF-8"?>
<vxml version="2.1" xmlns="http://www.w3.org/2001/vxml">
  <!-- A call flow written by Dialwright: one dialog a node, in the order of the tree. -->
  <script>function keysOf(v) { return String(v).replace(/\s+/g, ''); }</script>
  <var name="recording"/>
  <var name="msgSaved" expr="false"/>
)dw";
// The entries the call collects, under the names the pages keep them.
inline constexpr char16_t kEntryVar[] = uR"dw(  <var name="«name»" expr="''"/>)dw";
inline constexpr char16_t kTail[] = uR"dw(</vxml>)dw";

inline constexpr char16_t kNodeComment[] = uR"dw(

  <!-- «key» «text» -->
)dw";

// ---- Prompts and transitions ---------------------------------------------------------

// The voice file, and the prompt text a platform speaks when it cannot fetch the file.
inline constexpr char16_t kAudio[] = uR"dw(<audio src="waves/«file»">«text»</audio>)dw";
inline constexpr char16_t kGoto[] = uR"dw(<goto next="#«id»"/>)dw";
inline constexpr char16_t kGotoPage[] = uR"dw(<goto next="«page»"/>)dw";
inline constexpr char16_t kDisconnect[] = uR"dw(<disconnect/>)dw";
inline constexpr char16_t kExit[] = uR"dw(<exit/>)dw";

// ---- A node that only plays its prompt and offers its children: a menu ---------------

inline constexpr char16_t kMenuStart[] = uR"dw(
  <menu id="«id»" dtmf="false">
    <property name="timeout" value="«timeout»s"/>
)dw";
inline constexpr char16_t kMenuPrompt[] = uR"dw(    <prompt>«audio»</prompt>)dw";
inline constexpr char16_t kChoice[] = uR"dw(    <choice dtmf="«key»" next="#«id»"/>)dw";
inline constexpr char16_t kMenuNoInput[] = uR"dw(    <noinput>«transition»</noinput>)dw";
inline constexpr char16_t kMenuNoMatch[] = uR"dw(    <nomatch>«transition»</nomatch>)dw";
inline constexpr char16_t kMenuEnd[] = uR"dw(  </menu>)dw";

// ---- Every other node: a form --------------------------------------------------------

inline constexpr char16_t kFormStart[] = uR"dw(  <form id="«id»">)dw";
// The option the caller chose; undefined when the wait for it ran out.
inline constexpr char16_t kChoiceVar[] = uR"dw(    <var name="choice"/>)dw";
inline constexpr char16_t kFormEnd[] = uR"dw(  </form>)dw";

// An entry of keys, kept under the page's session name. A time-out or a lone terminator
// leaves it empty and the form goes on, as the page's form does.
inline constexpr char16_t kEntryStart[] = uR"dw(
    <field name="entry">
      <property name="termchar" value="«termchar»"/>
      <property name="timeout" value="«first»s"/>
      <property name="interdigittimeout" value="«inter»s"/>
      <grammar mode="dtmf" version="1.0" root="«id»_keys">
        <rule id="«id»_keys">
          <item repeat="«repeat»"><one-of>«keys»</one-of></item>
        </rule>
      </grammar>
)dw";
inline constexpr char16_t kItemPrompt[] = uR"dw(      <prompt>«audio»</prompt>)dw";
inline constexpr char16_t kEntryFilled[] = uR"dw(
      <filled>
        <assign name="«session»" expr="keysOf(entry)"/>
)dw";
inline constexpr char16_t kEntryChosen[] =
    uR"dw(        <assign name="choice" expr="«session»"/>)dw";
inline constexpr char16_t kEntryNoInput[] = uR"dw(
      </filled>
      <noinput>
        <assign name="«session»" expr="''"/>
        <assign name="entry" expr="''"/>
      </noinput>
      <nomatch>
        <assign name="«session»" expr="''"/>
)dw";
// A lone terminator is an entry, and so an option that names no child.
inline constexpr char16_t kEntryNoneChosen[] = uR"dw(        <assign name="choice" expr="''"/>)dw";
inline constexpr char16_t kEntryEnd[] = uR"dw(
        <assign name="entry" expr="''"/>
      </nomatch>
    </field>
)dw";

// The caller's message, ended by the terminator key (when there is one), by silence or at
// the longest length. A caller who says nothing goes on as after a message, keeping the
// last one, rather than being asked again and again.
inline constexpr char16_t kRecordStart[] =
    uR"dw(    <record name="message" maxtime="«max»s" finalsilence="«silence»s")dw"
    uR"dw( dtmfterm="false" type="audio/x-wav">)dw";
inline constexpr char16_t kRecordTerminator[] = uR"dw(
      <grammar mode="dtmf" version="1.0" root="«id»_end">
        <rule id="«id»_end"><item>«key»</item></rule>
      </grammar>
)dw";
inline constexpr char16_t kRecordEnd[] = uR"dw(
      <filled>
        <assign name="recording" expr="message"/>
        <assign name="msgSaved" expr="false"/>
      </filled>
      <noinput><assign name="message" expr="''"/></noinput>
    </record>
)dw";

// The option key after an entry or a recording: any key is taken; one that names no child
// goes back, as the page's menu does.
inline constexpr char16_t kOptionField[] = uR"dw(
    <field name="option">
      <property name="termchar" value=""/>
      <property name="timeout" value="«first»s"/>
      <grammar mode="dtmf" version="1.0" root="«id»_key">
        <rule id="«id»_key"><one-of>«keys»</one-of></rule>
      </grammar>
      <filled><assign name="choice" expr="keysOf(option)"/></filled>
      <noinput><assign name="option" expr="''"/></noinput>
    </field>
)dw";

inline constexpr char16_t kBlockStart[] = uR"dw(    <block>)dw";
inline constexpr char16_t kBlockLine[] = uR"dw(      «statement»)dw";
inline constexpr char16_t kBlockEnd[] = uR"dw(    </block>)dw";
inline constexpr char16_t kHearRecording[] =
    uR"dw(<if cond="recording != undefined"><audio expr="recording"/></if>)dw";
inline constexpr char16_t kSaveRecording[] =
    uR"dw(<assign name="msgSaved" expr="recording != undefined"/>)dw";
inline constexpr char16_t kDeleteRecording[] = uR"dw(
<assign name="recording" expr="undefined"/>
<assign name="msgSaved" expr="false"/>
)dw";

// Where the chosen option leads, one branch a move.
inline constexpr char16_t kIfOption[] = uR"dw(      <if cond="choice == '«key»'">)dw";
inline constexpr char16_t kElseIfOption[] = uR"dw(      <elseif cond="choice == '«key»'"/>)dw";
inline constexpr char16_t kElseIfTimeOut[] = uR"dw(      <elseif cond="choice == undefined"/>)dw";
inline constexpr char16_t kElse[] = uR"dw(      <else/>)dw";
inline constexpr char16_t kBranch[] = uR"dw(        «transition»)dw";
inline constexpr char16_t kEndIf[] = uR"dw(      </if>)dw";

} // namespace codegen::vxmltemplates
