#pragma once

// Adds the factory kinds of the widgets ('iBim', 'iBfi', 'iBrt', 'iBrr',
// 'iBsc', 'iBbt', 'iBck', 'iBrd', 'iBct', 'iBci', 'iBbi') for every
// application.
void epiRegisterWidgetKinds();
