#include "datalog/core/DatalogHelp.h"

const QVector<DatalogHelpLine>& DatalogHelpLines()
{
    static const QVector<DatalogHelpLine> lines = {
        {true, nullptr, "Before you can use the datalog in your program you must make some room"},
        {false, nullptr, "for all the items you need to log."},
        {false, nullptr, "To calculate the amount of datalog space you need, multiply the number of items by"},
        {false, nullptr, "the number of iterations (loops), for example if your program loops 30 times and"},
        {false, nullptr, "write 4 items to the gatalog: you need 30 x 4 = 120 datalog points."},
        {false, nullptr, "If you are not sure its better to set up more points because writing to a full datalog"},
        {false, nullptr, "has no effect."},
        {false, nullptr, ""},
        {true, nullptr, "In order to draw graph you need to make sure that the datalog list is arranged"},
        {false, nullptr, "in repeated blocks: [Item 1,Item 2,Item 3] [Item 1,Item 2,Item 3] and so on."},
        {false, nullptr, "Quillomat allow any time item (timers & clock) to be assigned only to the X-axis"},
        {false, nullptr, "and will not let you assign the same item to both axis, THE REST IS UP TO YOU."},
        {false, "Note: 'Samples Counter' ", "is automatically added to X-axis options to count the number of 'blocks'."},
        {false, nullptr, ""},
        {true, "The Toolbar:", ""},
        {false, nullptr, ""},
        {false, "Exit: ", "hides datalog window."},
        {false, "Reset datalog: ", "erase the datalog and set it to size 0 (making room for big programs)."},
        {false, "Set datalog size: ", "let you set the size of the datalog between 1 to approximately 2000."},
        {false, "Show datalog list/Upload datalog: ", "if you are viewing the graph or this help it will"},
        {false, nullptr, "show the list again. When already viewing the list it will attempt to upload new list from the RCX."},
        {false, "Show graph/Graph settings: ", "show the graph. Behave like the Show datalog button."},
        {false, "Save: ", "what you see is what you save: the list is saved as text and the graph as bitmap."},
        {false, "Open: ", "open a previously saved datalog list."},
        {false, "Print: ", "what you see is what you print."},
    };
    return lines;
}
