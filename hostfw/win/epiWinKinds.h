#pragma once

// Adds the factory kinds of the windows and containers ('iWin', 'iCon',
// 'iCos', 'iBde', 'iSco', 'iSde', 'iBvw', 'iBco') for every application.
void epiRegisterWindowKinds();
