#pragma once

// A keyboard focus ring users see at a glance, for every window of both programs.

/**
 * Gives the program's windows a focus frame that can be seen at a glance: the control that has the keyboard
 * focus (a button, a check box, a radio button), once the user moves it with the keyboard, is ringed in the
 * palette's highlight colour two pixels wide rather than the style's faint outline. Everything else is drawn
 * by the style in use. Call once the application object exists; calling again changes nothing.
 */
void UseClearFocusFrames();
