// The 800 items.
#pragma once

int UpdateItems();
int DrawAllItems();  // draws the random rotation of a new item of kind 4
int ResetAllItems();
