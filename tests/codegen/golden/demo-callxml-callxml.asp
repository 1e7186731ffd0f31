<?xml version="1.0" encoding="utf-8"?>
<callxml>
<block label="answercall" repeat="1" cleardigits="true">
<answer/>
</block>
<block label="playmaingreetings" repeat="1" cleardigits="true">
<playaudio format="wave" termdigits="#" value="waves\defaultgreeting.wav" cleardigits="true"/>
</block>
<block label="playpersonalgreetings" repeat="1" cleardigits="true">
<playaudio format="wave" termdigits="#" value="waves\messagemenu1.wav" cleardigits="true"/>
</block>
<block label="getoptiondigit" repeat="1" cleardigits="true">
<getdigits var="default" maxdigits="4" termdigits="#" includetermdigit="false" cleardigits="true" maxtime="30" maxsilence="30"/>
</block>
<block label="processrecordedmsg" repeat="1" cleardigits="true">
<playaudio format="wave" termdigits="#" value="waves\menu.wav" cleardigits="true"/>
</block>
<block label="playmessageoptions" repeat="1" cleardigits="true">
<playaudio format="wave" termdigits="#" value="waves\messagemenu.wav" cleardigits="true"/>
</block>
<block label="hangup" repeat="1" cleardigits="true">
<hangup/>
</block>
<block label="hearmsg" repeat="1" cleardigits="true">
<playaudio format="wave" termdigits="#" value="waves\.wav" cleardigits="true"/>
</block>
<block label="rerecordmsg" repeat="1" cleardigits="true">
<recordaudio format="wave" value="recorded.wav" termdigits="#" cleardigits="true" maxtime="30" maxsilence="30"/>
</block>
<block label="recordmessage" repeat="1" cleardigits="true">
<recordaudio format="wave" value="recorded.wav" termdigits="#" cleardigits="true" maxtime="30" maxsilence="30"/>
</block>
<block label="hangup" repeat="1" cleardigits="true">
<hangup/>
</block>
<block label="getpassworddigits" repeat="1" cleardigits="true">
<getdigits var="default" maxdigits="4" termdigits="#" includetermdigit="false" cleardigits="true" maxtime="30" maxsilence="30"/>
</block>
<block label="getuseriddigits" repeat="1" cleardigits="true">
<getdigits var="default" maxdigits="4" termdigits="#" includetermdigit="false" cleardigits="true" maxtime="30" maxsilence="30"/>
</block>
 <goto value="" submit="all" method="get"/>
</callxml>
