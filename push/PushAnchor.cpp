// The UDP channel and the notification popup live here.
