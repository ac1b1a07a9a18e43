#pragma once
// A drive as a program keeps it: the link to it and the image of its values,
// which reads, writes and takes its replies through that link. Made once by
// the window (and by each test that needs one) and handed down.
#include "link/drivelink.h"
#include "model/drivedata.h"
#include "model/drivegate.h"

namespace velmora::model {

struct LinkedDrive {
    link::DriveLink link;
    LinkOutlet outlet{link};
    DriveData data{outlet};
};

}  // namespace velmora::model
