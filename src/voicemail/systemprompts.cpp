#include "systemprompts.h"

namespace voicemail {

const QList<SystemPrompt> &systemPrompts()
{
    static const QList<SystemPrompt> prompts{
        {"entermb.wav", "Please enter your mailbox number, followed by the pound key."},
        {"enterpw.wav", "Please enter your password, followed by the pound key."},
        {"invalid.wav", "That entry is not valid."},
        {"nonewmsg.wav", "You have no new messages."},
        {"youhave.wav", "You have"},
        {"newmsg.wav", "new message."},
        {"newmsgs.wav", "new messages."},
        {"remmenu.wav",
         "Press 1 for new messages, 2 for saved messages, 3 to hear "
         "your greeting, 4 to record your greeting, 5 for more options, "
         "star to log in again, pound to hang up."},
        {"recpersn.wav", "Record your personal greeting after the tone."},
        {"remsubmn.wav",
         "Press 1 to hear your name, 2 to record your name, 5 to "
         "change your password, pound for the main menu."},
        {"recprmt.wav", "Record your name after the tone."},
        {"enternpw.wav", "Please enter your new password, followed by the pound key."},
        {"entrnpwa.wav", "Please enter your new password again."},
        {"pwsaved.wav", "Your new password has been saved."},
        {"pbinstru.wav", "Press star at any time to hear the playback keys."},
        {"pbmenu.wav",
         "Press 1 to rewind, 3 to fast forward, 4 for the previous "
         "message, 6 for the next, 7 to delete, 8 for the time stamp, 9 to forward, "
         "pound for the main menu."},
        {"nomsg.wav", "There are no more messages."},
        {"message.wav", "Message"},
        {"messages.wav", "messages."},
        {"today.wav", "received today."},
        {"yestrday.wav", "received yesterday."},
        {"received.wav", "received"},
        {"daysago.wav", "days ago."},
        {"msgdel.wav", "Message deleted."},
        {"inuse.wav", "The message is in use and cannot be deleted."},
        {"entrsnmb.wav",
         "Enter the mailbox number to forward this message to, "
         "followed by the pound key."},
        {"msgsent.wav", "Message sent."},
        {"timemsg.wav", "This message was received at"},
        {"msgrecorded.wav", "Your recording has been saved."},
        {"1.wav", "One."},
        {"2.wav", "Two."},
        {"3.wav", "Three."},
        {"4.wav", "Four."},
        {"5.wav", "Five."},
        {"6.wav", "Six."},
        {"7.wav", "Seven."},
        {"8.wav", "Eight."},
        {"9.wav", "Nine."},
        {"10.wav", "Ten."},
        {"11.wav", "Eleven."},
        {"12.wav", "Twelve."},
        {"13.wav", "Thirteen."},
        {"14.wav", "Fourteen."},
        {"15.wav", "Fifteen."},
        {"16.wav", "Sixteen."},
        {"17.wav", "Seventeen."},
        {"18.wav", "Eighteen."},
        {"19.wav", "Nineteen."},
        {"20.wav", "Twenty."},
        {"30.wav", "Thirty."},
        {"40.wav", "Forty."},
        {"50.wav", "Fifty."},
        {"60.wav", "Sixty."},
        {"70.wav", "Seventy."},
        {"80.wav", "Eighty."},
        {"90.wav", "Ninety."},
        {"hundred.wav", "Hundred."},
        {"thousand.wav", "Thousand."},
        {"million.wav", "Million."},
        {"o.wav", "Oh."},
        {"am.wav", "A.M."},
        {"pm.wav", "P.M."},
    };
    return prompts;
}

QString systemPromptSentence(const QString &fileName)
{
    for (const SystemPrompt &prompt : systemPrompts()) {
        if (fileName.compare(QLatin1String(prompt.fileName), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(prompt.sentence);
    }
    return {};
}

} // namespace voicemail
